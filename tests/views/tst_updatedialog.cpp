#include "views/UpdateDialog.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTest>

class TestUpdateDialog : public QObject {
    Q_OBJECT

    QList<QUrl> m_opened;

    static AppcastItem release(const QString& notes, const QString& download)
    {
        AppcastItem item;
        item.version = "130";
        item.displayVersion = "1.3";
        item.releaseNotesLink = QUrl(notes);
        item.downloadLink = QUrl(download);
        return item;
    }

    static QStringList visibleButtons(const UpdateDialog& dialog)
    {
        QStringList names;
        for (const QPushButton* b : dialog.findChildren<QPushButton*>()) {
            if (b->isVisible())
                names << b->text() + (b->isDefault() ? "*" : "");
        }
        names.sort();
        return names;
    }

    static QString text(const UpdateDialog& dialog, const char* label)
    {
        return dialog.findChild<QLabel*>(label)->text();
    }

    static void click(UpdateDialog& dialog, const char* name)
    {
        auto* b = dialog.findChild<QPushButton*>(name);
        QVERIFY(b && b->isVisible());
        QTest::mouseClick(b, Qt::LeftButton);
    }

public slots:
    // Stands in for the browser.
    void open(const QUrl& url) { m_opened << url; }

private slots:
    void init()
    {
        m_opened.clear();
        QDesktopServices::setUrlHandler("https", this, "open");
    }
    void cleanup() { QDesktopServices::unsetUrlHandler("https"); }

    void newerVersionOpensItsLinksInTheBrowser()
    {
        UpdateDialog dialog;
        dialog.showUpdateAvailable(release("https://example.com/notes/1.3.html", "https://example.com/Ventrel-1.3.tar.gz"),
                                   "1.2");
        QVERIFY(dialog.isVisible());
        QCOMPARE(text(dialog, "titleLabel"), "A new version of Ventrel is available!");
        QCOMPARE(text(dialog, "messageLabel"), "Ventrel 1.3 is now available; you have 1.2.");
        QCOMPARE(visibleButtons(dialog), (QStringList{"Download*", "Later", "Release Notes"}));

        click(dialog, "releaseNotesButton");
        QCOMPARE(m_opened, QList<QUrl>{QUrl("https://example.com/notes/1.3.html")});
        QVERIFY(dialog.isVisible());

        click(dialog, "downloadButton");
        QCOMPARE(m_opened.size(), 2);
        QCOMPARE(m_opened.last(), QUrl("https://example.com/Ventrel-1.3.tar.gz"));
        QVERIFY(!dialog.isVisible());
    }

    void newerVersionWithoutLinksOffersOnlyLater()
    {
        UpdateDialog dialog;
        dialog.showUpdateAvailable(release("", ""), "1.2");
        QCOMPARE(visibleButtons(dialog), QStringList{"Later*"});
        QVERIFY(text(dialog, "messageLabel").endsWith("The update feed gives no download address."));
        click(dialog, "laterButton");
        QVERIFY(!dialog.isVisible());
        QVERIFY(m_opened.isEmpty());
    }

    void closingWhileCheckingCancelsOnce()
    {
        UpdateDialog dialog;
        int cancels = 0;
        dialog.showChecking([&] { ++cancels; });
        QCOMPARE(text(dialog, "titleLabel"), "Checking for Updates...");
        QCOMPARE(visibleButtons(dialog), QStringList{"Cancel*"});

        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(cancels, 1);
        QVERIFY(!dialog.isVisible());
        dialog.reject();
        QCOMPARE(cancels, 1);
    }

    void outcomeEndsTheCheck_data()
    {
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        QTest::newRow("up to date") << "upToDate" << "You're up to date!" << "Ventrel 1.2 is the newest version available.";
        QTest::newRow("failure") << "failure" << "Update Error" << "The update feed is empty.";
    }

    void outcomeEndsTheCheck()
    {
        QFETCH(QString, outcome);
        QFETCH(QString, title);
        QFETCH(QString, message);
        UpdateDialog dialog;
        int cancels = 0;
        dialog.showChecking([&] { ++cancels; });
        if (outcome == "upToDate")
            dialog.showUpToDate("1.2");
        else
            dialog.showFailure("The update feed is empty.");
        QCOMPARE(text(dialog, "titleLabel"), title);
        QCOMPARE(text(dialog, "messageLabel"), message);
        QCOMPARE(visibleButtons(dialog), QStringList{"OK*"});

        // Closing a finished check has nothing to cancel.
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(cancels, 0);
    }
};

QTEST_MAIN(TestUpdateDialog)
#include "tst_updatedialog.moc"
