#include "stores/VersionComparator.h"

#include <QTest>

class TestVersionComparator : public QObject {
    Q_OBJECT

private slots:
    void ordersRealWorldVersions_data()
    {
        QTest::addColumn<QString>("older");
        QTest::addColumn<QString>("newer");
        QTest::newRow("minor after nine") << "1.9" << "1.10";
        QTest::newRow("patch after nine") << "2.3.9" << "2.3.10";
        QTest::newRow("major") << "9.9.9" << "10.0";
        QTest::newRow("extra patch") << "1.0" << "1.0.1";
        QTest::newRow("beta before release") << "2.0b1" << "2.0";
        QTest::newRow("beta 10 after beta 2") << "1.0b2" << "1.0b10";
        QTest::newRow("rc after beta") << "1.0b5" << "1.0rc1";
        QTest::newRow("alpha before beta") << "3.0a7" << "3.0b1";
        QTest::newRow("spaced beta before release") << "1.5 Beta 3" << "1.5";
        QTest::newRow("build numbers") << "99" << "123";
        QTest::newRow("leading zeros") << "1.02" << "1.3";
        QTest::newRow("date stamps past 64 bits") << "20250101235959123456789" << "20260101000000000000000";
        QTest::newRow("release after its beta with patch") << "1.2b4" << "1.2.1";
        QTest::newRow("empty before anything") << "" << "0.1";
    }

    void ordersRealWorldVersions()
    {
        QFETCH(QString, older);
        QFETCH(QString, newer);
        QCOMPARE(VersionComparator::compare(older, newer), -1);
        QCOMPARE(VersionComparator::compare(newer, older), 1);
    }

    void sameVersions_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::newRow("identical") << "1.2.3" << "1.2.3";
        QTest::newRow("leading zeros") << "1.02" << "1.2";
        QTest::newRow("beta") << "2.0b1" << "2.0b1";
        QTest::newRow("white space around") << " 1.2 " << "1.2";
    }

    void sameVersions()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QCOMPARE(VersionComparator::compare(a, b), 0);
        QCOMPARE(VersionComparator::compare(b, a), 0);
    }
};

QTEST_GUILESS_MAIN(TestVersionComparator)
#include "tst_versioncomparator.moc"
