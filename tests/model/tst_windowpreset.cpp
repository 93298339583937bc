#include "model/WindowPreset.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

#include <thread>

namespace {

QByteArray sampleJson()
{
    return R"({"id":"6F9619FF-8B86-D011-B42D-00CF4FC964FF","name":"Phone","width":390,"height":844,)"
           R"("isDefault":false,"createdAt":786543210.125,"isVisible":true,"sortOrder":5})";
}

QJsonObject sampleObject()
{
    return QJsonDocument::fromJson(sampleJson()).object();
}

} // namespace

class TestWindowPreset : public QObject {
    Q_OBJECT

private slots:
    void builtinPresets()
    {
        const QList<WindowPreset>& presets = WindowPreset::defaultPresets();
        QCOMPARE(presets.size(), 5);
        const struct {
            const char* id;
            const char* name;
            qint64 w, h;
        } expected[] = {
            {"00000000-0000-0000-0000-000000000001", "Web Demo", 1200, 800},
            {"00000000-0000-0000-0000-000000000002", "Desktop App", 1440, 900},
            {"00000000-0000-0000-0000-000000000003", "Full HD", 1920, 1080},
            {"00000000-0000-0000-0000-000000000004", "HD Video", 1280, 720},
            {"00000000-0000-0000-0000-000000000005", "Compact", 800, 600},
        };
        for (int i = 0; i < 5; ++i) {
            const WindowPreset& p = presets.at(i);
            QCOMPARE(WindowPreset::uuidString(p.id), QLatin1String(expected[i].id));
            QCOMPARE(p.name, QLatin1String(expected[i].name));
            QCOMPARE(p.width, expected[i].w);
            QCOMPARE(p.height, expected[i].h);
            QVERIFY(p.isDefault);
            QVERIFY(p.isVisible);
            QCOMPARE(p.sortOrder, qint64(i));
            QCOMPARE(p.createdAt, presets.first().createdAt);
        }
        // Created "now", in seconds since 2001, not since 1970.
        const double unixNow = double(QDateTime::currentSecsSinceEpoch());
        QVERIFY(qAbs(presets.first().createdAt - (unixNow - 978307200.0)) < 60);
    }

    void builtinPresetsAreBuiltOnceAcrossThreads()
    {
        const QList<WindowPreset>* seen[4] = {};
        std::thread threads[4];
        for (int i = 0; i < 4; ++i)
            threads[i] = std::thread([&seen, i] { seen[i] = &WindowPreset::defaultPresets(); });
        for (std::thread& t : threads)
            t.join();
        for (const auto* list : seen)
            QCOMPARE(list, &WindowPreset::defaultPresets());
        QCOMPARE(WindowPreset::defaultPresets(), WindowPreset::defaultPresets());
    }

    void equalityComparesEveryField()
    {
        const WindowPreset base = *WindowPreset::fromJson(sampleObject());
        auto differs = [&](auto change) {
            WindowPreset other = base;
            change(other);
            return !(other == base);
        };
        QVERIFY(base == *WindowPreset::fromJson(sampleObject()));
        QVERIFY(differs([](WindowPreset& p) { p.id = QUuid::createUuid(); }));
        QVERIFY(differs([](WindowPreset& p) { p.name = QStringLiteral("phone"); }));
        QVERIFY(differs([](WindowPreset& p) { p.width += 1; }));
        QVERIFY(differs([](WindowPreset& p) { p.height += 1; }));
        QVERIFY(differs([](WindowPreset& p) { p.isDefault = true; }));
        QVERIFY(differs([](WindowPreset& p) { p.createdAt += 0.001; }));
        QVERIFY(differs([](WindowPreset& p) { p.isVisible = false; }));
        QVERIFY(differs([](WindowPreset& p) { p.sortOrder = 0; }));
    }

    void encodesTheStoredForm()
    {
        const WindowPreset p = WindowPreset::defaultPresets().at(1);
        const QJsonObject o = p.toJson();
        QCOMPARE(o.size(), 8);
        QCOMPARE(o.value("id").toString(), QStringLiteral("00000000-0000-0000-0000-000000000002"));
        QCOMPARE(o.value("name").toString(), QStringLiteral("Desktop App"));
        QCOMPARE(o.value("isDefault"), QJsonValue(true));
        QCOMPARE(o.value("isVisible"), QJsonValue(true));
        QCOMPARE(o.value("createdAt").toDouble(), p.createdAt);

        const QByteArray compact = QJsonDocument(o).toJson(QJsonDocument::Compact);
        QVERIFY2(compact.contains(R"("width":1440)"), compact);
        QVERIFY2(compact.contains(R"("height":900)"), compact);
        QVERIFY2(compact.contains(R"("sortOrder":1)"), compact);

        WindowPreset lower = p;
        lower.id = QUuid::fromString(QStringLiteral("6f9619ff-8b86-d011-b42d-00cf4fc964ff"));
        QCOMPARE(lower.toJson().value("id").toString(), QStringLiteral("6F9619FF-8B86-D011-B42D-00CF4FC964FF"));
    }

    void roundTrips()
    {
        for (const WindowPreset& p : WindowPreset::defaultPresets()) {
            const QByteArray bytes = QJsonDocument(p.toJson()).toJson(QJsonDocument::Compact);
            const auto decoded = WindowPreset::fromJson(QJsonDocument::fromJson(bytes).object());
            QVERIFY(decoded.has_value());
            QCOMPARE(*decoded, p);
        }
        WindowPreset extreme = *WindowPreset::fromJson(sampleObject());
        extreme.width = std::numeric_limits<qint64>::max();
        extreme.height = std::numeric_limits<qint64>::min();
        extreme.createdAt = 786543210.123456789;
        const QByteArray bytes = QJsonDocument(extreme.toJson()).toJson(QJsonDocument::Compact);
        QCOMPARE(*WindowPreset::fromJson(QJsonDocument::fromJson(bytes).object()), extreme);
    }

    void decodesLeniently()
    {
        QJsonObject o = sampleObject();
        o.insert("extra", QJsonArray{1, 2});
        o.insert("id", "6f9619ff-8b86-d011-b42d-00cf4fc964ff");
        o.insert("createdAt", 0);
        o.insert("width", 800.0);
        const auto p = WindowPreset::fromJson(o);
        QVERIFY(p.has_value());
        QCOMPARE(p->id, QUuid::fromString(QStringLiteral("{6F9619FF-8B86-D011-B42D-00CF4FC964FF}")));
        QCOMPARE(p->width, qint64(800));
        QCOMPARE(p->createdAt, 0.0); // 2001-01-01 00:00:00 UTC
    }

    void refusesMalformedPresets_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QJsonValue>("value"); // Undefined: the key is removed
        QTest::addColumn<QString>("failingKey");
        const char* keys[] = {"id", "name", "width", "height", "isDefault", "createdAt", "isVisible", "sortOrder"};
        for (const char* k : keys) {
            QTest::addRow("%s missing", k) << k << QJsonValue(QJsonValue::Undefined) << k;
            QTest::addRow("%s null", k) << k << QJsonValue(QJsonValue::Null) << k;
            QTest::addRow("%s array", k) << k << QJsonValue(QJsonArray{1}) << k;
        }
        QTest::newRow("width fraction") << "width" << QJsonValue(800.5) << "width";
        QTest::newRow("width string") << "width" << QJsonValue("800") << "width";
        QTest::newRow("height too large") << "height" << QJsonValue(1e19) << "height";
        QTest::newRow("sortOrder too small") << "sortOrder" << QJsonValue(-1e19) << "sortOrder";
        QTest::newRow("isVisible number") << "isVisible" << QJsonValue(1) << "isVisible";
        QTest::newRow("createdAt string") << "createdAt" << QJsonValue("2001-01-01") << "createdAt";
        QTest::newRow("name number") << "name" << QJsonValue(7) << "name";
        QTest::newRow("id braces") << "id" << QJsonValue("{6F9619FF-8B86-D011-B42D-00CF4FC964FF}") << "id";
        QTest::newRow("id no hyphens") << "id" << QJsonValue("6F9619FF8B86D011B42D00CF4FC964FF") << "id";
        QTest::newRow("id bad digit") << "id" << QJsonValue("6F9619FF-8B86-D011-B42D-00CF4FC964FG") << "id";
        QTest::newRow("id hyphen moved") << "id" << QJsonValue("6F9619F-F8B86-D011-B42D-00CF4FC964FF") << "id";
        QTest::newRow("id empty") << "id" << QJsonValue("") << "id";
    }

    void refusesMalformedPresets()
    {
        QFETCH(QString, key);
        QFETCH(QJsonValue, value);
        QFETCH(QString, failingKey);
        QJsonObject o = sampleObject();
        if (value.isUndefined())
            o.remove(key);
        else
            o.insert(key, value);
        const auto result = WindowPreset::fromJson(o);
        QVERIFY(!result.has_value());
        QCOMPARE(result.error().key, failingKey);
        QVERIFY(result.error().description().contains(failingKey));
    }

    void refusesOutOfRangeIntegerText()
    {
        QByteArray bytes = sampleJson();
        bytes.replace("\"width\":390", "\"width\":9223372036854775808");
        QVERIFY(!WindowPreset::fromJson(QJsonDocument::fromJson(bytes).object()).has_value());
        bytes = sampleJson();
        bytes.replace("\"width\":390", "\"width\":9223372036854775807");
        QCOMPARE(WindowPreset::fromJson(QJsonDocument::fromJson(bytes).object())->width,
                 std::numeric_limits<qint64>::max());
        QVERIFY(!WindowPreset::fromJson(QJsonValue(QJsonArray{})).has_value());
        QVERIFY(!WindowPreset::fromJson(QJsonValue(42)).has_value());
    }
};

QTEST_GUILESS_MAIN(TestWindowPreset)
#include "tst_windowpreset.moc"
