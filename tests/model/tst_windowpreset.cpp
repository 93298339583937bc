#include "model/WindowPreset.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

static const QByteArray sampleJson = R"({"id":"6F9619FF-8B86-D011-B42D-00CF4FC964FF","name":"Phone","width":390,"height":844,)"
                              R"("isDefault":false,"createdAt":786543210.125,"isVisible":true,"sortOrder":5})";

static QJsonObject parse(const QByteArray& bytes) { return QJsonDocument::fromJson(bytes).object(); }

// What a preset refuses to decode is checked through the store, which reads
// the stored list (tst_presetmanager).
class TestWindowPreset : public QObject {
    Q_OBJECT

private slots:
    void encodesAndRoundTrips()
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

        WindowPreset extreme = *sample;
        extreme.width = std::numeric_limits<qint64>::max();
        extreme.height = std::numeric_limits<qint64>::min();
        extreme.createdAt = 786543210.123456789;
        QList<WindowPreset> all = WindowPreset::defaultPresets();
        all << extreme;
        for (const WindowPreset& preset : all)
            QCOMPARE(*WindowPreset::fromJson(parse(QJsonDocument(preset.toJson()).toJson(QJsonDocument::Compact))), preset);
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
