#include "views/AboutView.h"

#include <QDate>
#include <QLabel>
#include <QTest>

class TestAboutView : public QObject {
    Q_OBJECT

private slots:
    void versionLine_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("build");
        QTest::addColumn<QString>("line");
        QTest::newRow("both") << "2.3" << "45" << "Version 2.3 (45)";
        QTest::newRow("neither") << "" << "" << "Version 1.0 (1)";
        QTest::newRow("no build") << "2.3" << "" << "Version 2.3 (1)";
        QTest::newRow("no version") << "" << "7" << "Version 1.0 (7)";
    }

    void versionLine()
    {
        QFETCH(QString, version);
        QFETCH(QString, build);
        QFETCH(QString, line);
        QCOMPARE(AboutView::versionLine(version, build), line);
    }

    void showsTheBuildAndTheCurrentYear()
    {
        AboutView view;
        QCOMPARE(view.size(), QSize(280, 320));
        QCOMPARE(view.findChild<QLabel*>("versionLine")->text(),
                 QStringLiteral("Version %1 (%2)").arg(QStringLiteral(VENTREL_VERSION), QStringLiteral(VENTREL_BUILD_NUMBER)));
        QVERIFY(view.findChild<QLabel*>("rightsLine")->text().contains(QString::number(QDate::currentDate().year())));
        const QLabel* link = view.findChild<QLabel*>("siteLink");
        QVERIFY(link->text().contains("href=\"https://ventrel.app\""));
        QCOMPARE(link->focusPolicy(), Qt::NoFocus);
        QVERIFY(!view.findChild<QLabel*>("appIcon")->pixmap().isNull());
    }
};

QTEST_MAIN(TestAboutView)
#include "tst_aboutview.moc"
