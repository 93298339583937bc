#include "GeneralFakes.h"
#include "ViewTestSupport.h"

#include "views/PresetsPane.h"
#include "views/SettingsView.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>

// Opens the Settings window on each section on a real X server, in a light
// and a dark theme, and saves what the server shows as PNG files for people
// to look at. It checks what a picture can show: the window's size, and that
// the sidebar and the pane are drawn rather than blank.
class TestSettingsScreenshots : public QObject {
    Q_OBJECT

    QDir m_output;

    static QPalette darkPalette()
    {
        // Derives the bevel shades (light, mid, dark) from the button and window colours.
        QPalette p(QColor(0x3a, 0x3a, 0x3e), QColor(0x2b, 0x2b, 0x2e));
        p.setColor(QPalette::Base, QColor(0x1f, 0x1f, 0x22));
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            p.setColor(role, QColor(0xe8, 0xe8, 0xea));
        p.setColor(QPalette::Highlight, QColor(0x0a, 0x84, 0xff));
        return p;
    }

    // Distinct colours in a region: a blank area has one or two.
    static int colourCount(const QImage& image, const QRect& region)
    {
        QSet<QRgb> colours;
        for (int y = region.top(); y <= region.bottom(); ++y)
            for (int x = region.left(); x <= region.right(); ++x)
                colours.insert(image.pixel(x, y));
        return int(colours.size());
    }

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server (run under xvfb-run)");
        const QString dir = qEnvironmentVariable("VENTREL_SCREENSHOT_DIR", QDir::currentPath());
        QVERIFY(QDir().mkpath(dir));
        m_output = QDir(dir);
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    }

    void section_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<bool>("dark");
        QTest::addColumn<bool>("formOpen");
        for (bool dark : {false, true}) {
            const char* theme = dark ? "dark" : "light";
            QTest::newRow(qPrintable(QStringLiteral("general-%1").arg(QLatin1String(theme))))
                << int(SettingsSection::general) << dark << false;
            QTest::newRow(qPrintable(QStringLiteral("presets-%1").arg(QLatin1String(theme))))
                << int(SettingsSection::presets) << dark << false;
            QTest::newRow(qPrintable(QStringLiteral("presets-form-%1").arg(QLatin1String(theme))))
                << int(SettingsSection::presets) << dark << true;
            QTest::newRow(qPrintable(QStringLiteral("snap-positions-%1").arg(QLatin1String(theme))))
                << int(SettingsSection::snapPositions) << dark << false;
        }
    }

    void section()
    {
        QFETCH(int, section);
        QFETCH(bool, dark);
        QFETCH(bool, formOpen);
        QApplication::setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());

        TemporaryStores stores;
        QVERIFY(stores.presets.addPreset(QStringLiteral("Square"), 1000, 1000));
        stores.presets.togglePresetVisibility(stores.presets.presets().at(3).id);
        stores.snapPositions.togglePositionVisibility(SnapPosition::centerThird);
        GeneralStores general(stores.presets, stores.snapPositions, true);

        SettingsView::Stores viewStores{
            [&]() -> PresetManager& { return stores.presets; },
            [&]() -> SnapPositionManager& { return stores.snapPositions; },
            [&]() -> GeneralSettingsManager& { return *general.general; },
            [&]() -> UpdateManager& { return *general.updates; },
        };
        SettingsView view(SettingsSection::allCases()[section], viewStores);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        if (formOpen) {
            auto* pane = qobject_cast<PresetsPane*>(view.currentPane());
            QVERIFY(pane);
            pane->showAddForm();
            pane->findChild<QLineEdit*>(QStringLiteral("nameField"))->setText(QStringLiteral("full hd"));
            pane->findChild<QLineEdit*>(QStringLiteral("widthField"))->setText(QStringLiteral("1600"));
            pane->findChild<QLineEdit*>(QStringLiteral("heightField"))->setText(QStringLiteral("900"));
            pane->submitNewPreset();
        }
        settle();
        QTest::qWait(200);

        const QImage shot = view.screen()->grabWindow(view.winId()).toImage();
        const QString file = m_output.filePath(QStringLiteral("settings-%1.png").arg(QLatin1String(QTest::currentDataTag())));
        QVERIFY(shot.save(file));
        qInfo("saved %s", qPrintable(file));

        const qreal dpr = shot.devicePixelRatio();
        QCOMPARE(shot.size(), QSize(600, 400) * dpr);
        QVERIFY(colourCount(shot, QRect(QPoint(0, 0), QSize(160, 120) * dpr)) > 8);
        QVERIFY(colourCount(shot, QRect(QPoint(200, 0), QSize(380, 300) * dpr)) > 8);
    }
};

QTEST_MAIN(TestSettingsScreenshots)
#include "tst_settingsscreenshots.moc"
