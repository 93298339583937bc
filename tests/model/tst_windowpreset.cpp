#include "model/WindowPreset.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

static const QByteArray sampleJson = R"({"id":"6F9619FF-8B86-D011-B42D-00CF4FC964FF","name":"Phone","width":390,"height":844,)"
                              R"("isDefault":false,"createdAt":786543210.125,"isVisible":true,"sortOrder":5})";

static QJsonObject parse(const QByteArray& bytes) { return QJsonDocument::fromJson(bytes).object(); }

// What a preset refuses to decode is checked through the store, which reads
// the stored list (tst_presetmanager); that any preset survives its own
// encoding, through the fuzz target fuzz_windowpreset.
class TestWindowPreset : public QObject {
    Q_OBJECT

private slots:
    void readsLenientlyWritesCanonically()
    {
        // Unknown keys ignored, any UUID letter case and integral doubles read; written back canonically.
        QJsonObject lenient = parse(sampleJson);
        lenient.insert("extra", QJsonArray{1, 2});
        lenient.insert("id", "6f9619ff-8b86-d011-b42d-00cf4fc964ff");
        lenient.insert("width", 390.0);
        const auto sample = WindowPreset::fromJson(lenient);
        QVERIFY(sample.has_value());
        QCOMPARE(sample->toJson(), parse(sampleJson));
        const QByteArray compact = QJsonDocument(sample->toJson()).toJson(QJsonDocument::Compact);
        for (const char* text : {R"("width":390})", R"("sortOrder":5,)", R"("id":"6F9619FF-8B86-D011-B42D-00CF4FC964FF")"})
            QVERIFY2(compact.contains(text), compact);
        // One past the largest integer a preset holds, which a double comparison would let through.
        QByteArray bytes = sampleJson;
        QVERIFY(!WindowPreset::fromJson(parse(bytes.replace("390", "9223372036854775808"))).has_value());
    }

    // Built-in presets are created "now", in seconds since 2001, not since 1970.
    void builtinPresetsAreCreatedNow()
    {
        const double createdAt = WindowPreset::defaultPresets().first().createdAt;
        QVERIFY(qAbs(createdAt - (QDateTime::currentSecsSinceEpoch() - 978307200.0)) < 60);
    }
};

QTEST_GUILESS_MAIN(TestWindowPreset)
#include "tst_windowpreset.moc"
