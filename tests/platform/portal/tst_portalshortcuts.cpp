#include "platform/portal/PortalGlobalShortcuts.h"

#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

// Against a portal on the session bus of dbus-run-session (fake-portal.py),
// speaking the real interface, with a desktop that leaves one shortcut without keys.
class TestPortalShortcuts : public QObject {
    Q_OBJECT
    QProcess m_portal;

    QDBusMessage fake(const QString& method, const QVariantList& arguments = {})
    {
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.portal.Desktop"),
                                                           QStringLiteral("/org/freedesktop/portal/desktop"),
                                                           QStringLiteral("org.ventrel.FakePortal"), method);
        call.setArguments(arguments);
        return QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
    }

private slots:
    void initTestCase()
    {
        // No portal on the bus yet: nothing to take shortcuts from.
        QVERIFY(!PortalGlobalShortcuts::create(QDBusConnection::sessionBus(), QStringLiteral("app.ventrel.Ventrel")));

        m_portal.setProcessChannelMode(QProcess::ForwardedChannels);
        m_portal.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(VENTREL_FAKE_PORTAL)});
        QTRY_VERIFY_WITH_TIMEOUT(
            QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("org.freedesktop.portal.Desktop")),
            10000);
    }

    void cleanupTestCase()
    {
        m_portal.kill();
        m_portal.waitForFinished();
    }

    void bindActivateChange()
    {
        const auto shortcuts = PortalGlobalShortcuts::create(QDBusConnection::sessionBus(), QStringLiteral("app.ventrel.Ventrel"));
        QVERIFY(shortcuts);
        QCOMPARE(fake(QStringLiteral("Registered")).arguments().value(0).toStringList(),
                 QStringList{QStringLiteral("app.ventrel.Ventrel")});

        using Status = GlobalShortcuts::Status;
        const auto statusOf = [&](const char* id) { return shortcuts->status(QString::fromLatin1(id)); };
        shortcuts->registerShortcut(QStringLiteral("rightHalf"), QStringLiteral("Right Half"),
                                    QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_L));
        shortcuts->registerShortcut(QStringLiteral("topHalf"), QStringLiteral("Top Half"),
                                    QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_K));
        // What the desktop reports is what shows, keys or none yet.
        QTRY_COMPARE(statusOf("topHalf"), std::optional(Status{Status::State::managedByDesktop, QStringLiteral("no keys assigned yet")}));
        QTRY_COMPARE(statusOf("rightHalf"), std::optional(Status{Status::State::managedByDesktop, QStringLiteral("Ctrl+Alt+l")}));

        QSignalSpy activated(shortcuts.get(), &GlobalShortcuts::activated);
        QCOMPARE(fake(QStringLiteral("Press"), {QStringLiteral("rightHalf")}).type(), QDBusMessage::ReplyMessage);
        QVERIFY(activated.wait(5000));
        QCOMPARE(activated.takeFirst().value(0).toString(), QStringLiteral("rightHalf"));

        // The user changes the keys in the desktop's settings later: those show, not the ones asked for.
        fake(QStringLiteral("ChangeTrigger"), {QStringLiteral("rightHalf"), QStringLiteral("Ctrl+Alt+Page_Down")});
        QTRY_COMPARE(statusOf("rightHalf"),
                     std::optional(Status{Status::State::managedByDesktop, QStringLiteral("Ctrl+Alt+Page_Down")}));
    }
};

QTEST_GUILESS_MAIN(TestPortalShortcuts)
#include "tst_portalshortcuts.moc"
