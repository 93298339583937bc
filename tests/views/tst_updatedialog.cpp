#include "views/UpdateDialog.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTest>

class TestUpdateDialog : public QObject {
    Q_OBJECT

    QList<QUrl> m_opened;

    // The visible buttons in order, the default one marked with "*".
    static QStringList buttons(const UpdateDialog& dialog)
    {
        QStringList names;
        for (const QPushButton* b : dialog.findChildren<QPushButton*>())
            if (b->isVisible())
                names << b->text() + (b->isDefault() ? "*" : "");
        return names;
    }

public slots:
    void open(const QUrl& url) { m_opened << url; } // stands in for the browser

private slots:
    void buttonsFollowTheOutcome()
    {
        QDesktopServices::setUrlHandler("https", this, "open");
        UpdateDialog dialog;
        AppcastItem item{"", "130", "1.3", QUrl("https://example.com/notes"), QUrl("https://example.com/1.3.tgz")};
        dialog.showUpdateAvailable(item, "1.2");
        QCOMPARE(dialog.findChild<QLabel*>("messageLabel")->text(), "Ventrel 1.3 is now available; you have 1.2.");
        QCOMPARE(buttons(dialog), (QStringList{"Later", "Release Notes", "Download*"}));
        QTest::mouseClick(dialog.findChild<QPushButton*>("releaseNotesButton"), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QTest::mouseClick(dialog.findChild<QPushButton*>("downloadButton"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(m_opened, (QList<QUrl>{item.releaseNotesLink, item.downloadLink}));
        QDesktopServices::unsetUrlHandler("https");
        // Without links there is nothing to open.
        dialog.showUpdateAvailable(AppcastItem{"", "130", "1.3", {}, {}}, "1.2");
        QCOMPARE(buttons(dialog), QStringList{"Later*"});

        // Closing the window cancels a running check, and nothing else.
        int cancels = 0;
        dialog.showChecking([&] { ++cancels; });
        QCOMPARE(buttons(dialog), QStringList{"Cancel*"});
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(cancels == 1 && !dialog.isVisible());

        dialog.showChecking([&] { ++cancels; });
        dialog.showFailure("The update feed is empty.");
        QCOMPARE(buttons(dialog), QStringList{"OK*"});
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(cancels == 1 && !dialog.isVisible());
    }
};

QTEST_MAIN(TestUpdateDialog)
#include "tst_updatedialog.moc"
