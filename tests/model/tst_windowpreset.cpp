#include "model/WindowPreset.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

#include <thread>

static const QByteArray sampleJson = R"({"id":"6F9619FF-8B86-D011-B42D-00CF4FC964FF","name":"Phone","width":390,"height":844,)"
                              R"("isDefault":false,"createdAt":786543210.125,"isVisible":true,"sortOrder":5})";

static QJsonObject parse(const QByteArray& bytes) { return QJsonDocument::fromJson(bytes).object(); }

class TestWindowPreset : public QObject {
    Q_OBJECT

private slots:
    void builtinPresets()
    {
        const QList<WindowPreset>& presets = WindowPreset::defaultPresets();
        QStringList seen;
        for (const WindowPreset& p : presets)
            seen << QStringLiteral("%1 %2 %3x%4 default=%5 visible=%6 order=%7 sameDate=%8")
                        .arg(WindowPreset::uuidString(p.id), p.name).arg(p.width).arg(p.height).arg(p.isDefault)
                        .arg(p.isVisible).arg(p.sortOrder).arg(p.createdAt == presets.first().createdAt);
        QCOMPARE(seen, QStringList({"00000000-0000-0000-0000-000000000001 Web Demo 1200x800 default=1 visible=1 order=0 sameDate=1",
                                    "00000000-0000-0000-0000-000000000002 Desktop App 1440x900 default=1 visible=1 order=1 sameDate=1",
                                    "00000000-0000-0000-0000-000000000003 Full HD 1920x1080 default=1 visible=1 order=2 sameDate=1",
                                    "00000000-0000-0000-0000-000000000004 HD Video 1280x720 default=1 visible=1 order=3 sameDate=1",
                                    "00000000-0000-0000-0000-000000000005 Compact 800x600 default=1 visible=1 order=4 sameDate=1"}));
        // Created "now", in seconds since 2001, not since 1970.
        QVERIFY(qAbs(presets.first().createdAt - (QDateTime::currentSecsSinceEpoch() - 978307200.0)) < 60);

        // Built once per process, whichever thread asks.
        const QList<WindowPreset>* other = nullptr;
        std::thread([&other] { other = &WindowPreset::defaultPresets(); }).join();
        QCOMPARE(other, &presets);
    }

    void equalityComparesEveryField()
    {
        const WindowPreset base = *WindowPreset::fromJson(parse(sampleJson));
        const std::function<void(WindowPreset&)> changes[] = {
            [](WindowPreset& p) { p.id = QUuid::createUuid(); }, [](WindowPreset& p) { p.name = "phone"; },
            [](WindowPreset& p) { p.width += 1; },               [](WindowPreset& p) { p.height += 1; },
            [](WindowPreset& p) { p.isDefault = true; },         [](WindowPreset& p) { p.createdAt += 0.001; },
            [](WindowPreset& p) { p.isVisible = false; },        [](WindowPreset& p) { p.sortOrder = 0; }};
        for (const auto& change : changes) {
            WindowPreset other = base;
            change(other);
            QVERIFY(!(other == base));
        }
    }

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
        QVERIFY(!WindowPreset::fromJson(QJsonValue(QJsonArray{})).has_value());
        QVERIFY(!WindowPreset::fromJson(QJsonValue(42)).has_value());
    }

    void refusesMalformedPresets_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QJsonValue>("value"); // Undefined: the key is removed
        for (const char* k : {"id", "name", "width", "height", "isDefault", "createdAt", "isVisible", "sortOrder"}) {
            QTest::addRow("%s missing", k) << k << QJsonValue(QJsonValue::Undefined);
            QTest::addRow("%s null", k) << k << QJsonValue(QJsonValue::Null);
            QTest::addRow("%s array", k) << k << QJsonValue(QJsonArray{1});
        }
        QTest::newRow("width fraction") << "width" << QJsonValue(800.5);
        QTest::newRow("width string") << "width" << QJsonValue("800");
        QTest::newRow("height too large") << "height" << QJsonValue(1e19);
        QTest::newRow("sortOrder too small") << "sortOrder" << QJsonValue(-1e19);
        QTest::newRow("id braces") << "id" << QJsonValue("{6F9619FF-8B86-D011-B42D-00CF4FC964FF}");
        QTest::newRow("id no hyphens") << "id" << QJsonValue("6F9619FF8B86D011B42D00CF4FC964FF");
        QTest::newRow("id bad digit") << "id" << QJsonValue("6F9619FF-8B86-D011-B42D-00CF4FC964FG");
        QTest::newRow("id hyphen moved") << "id" << QJsonValue("6F9619F-F8B86-D011-B42D-00CF4FC964FF");
        QTest::newRow("id empty") << "id" << QJsonValue("");
    }

    void refusesMalformedPresets()
    {
        QFETCH(QString, key);
        QFETCH(QJsonValue, value);
        QJsonObject o = parse(sampleJson);
        if (value.isUndefined())
            o.remove(key);
        else
            o.insert(key, value);
        const auto result = WindowPreset::fromJson(o);
        QVERIFY(!result.has_value());
        QCOMPARE(result.error().key, key);
        QVERIFY(result.error().description().contains(key));
    }
};

QTEST_GUILESS_MAIN(TestWindowPreset)
#include "tst_windowpreset.moc"
