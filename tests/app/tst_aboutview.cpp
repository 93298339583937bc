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
        QTest::newRow("neither") << "" << "" << "Version 1.0 (1)";
        QTest::newRow("no build") << "2.3" << "" << "Version 2.3 (1)";
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
        QVERIFY(view.findChild<QLabel*>("versionLine")->text().startsWith("Version " VENTREL_VERSION " ("));
        QVERIFY(view.findChild<QLabel*>("rightsLine")->text().contains(QString::number(QDate::currentDate().year())));
        const QLabel* link = view.findChild<QLabel*>("siteLink");
        QVERIFY(link->text().contains("href=\"https://ventrel.app\""));
        QCOMPARE(link->focusPolicy(), Qt::NoFocus);
        QVERIFY(!view.findChild<QLabel*>("appIcon")->pixmap().isNull());
    }
};

QTEST_MAIN(TestAboutView)
#include "tst_aboutview.moc"
