#include "platform/portal/PortalGlobalShortcuts.h"

#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

// Against a portal on a private session bus (fake-portal.py), speaking the
// real interface, with a desktop that leaves one shortcut without keys.
class TestPortalShortcuts : public QObject {
    Q_OBJECT
    QProcess m_daemon;
    QProcess m_portal;
    std::optional<QDBusConnection> m_bus;

    QDBusMessage fake(const QString& method, const QVariantList& arguments = {})
    {
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.portal.Desktop"),
                                                           QStringLiteral("/org/freedesktop/portal/desktop"),
                                                           QStringLiteral("org.ventrel.FakePortal"), method);
        call.setArguments(arguments);
        return m_bus->call(call, QDBus::Block, 5000);
    }

private slots:
    void initTestCase()
    {
        m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                       QStringLiteral("--print-address")});
        QVERIFY(m_daemon.waitForReadyRead(10000));
        const QString address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        m_bus.emplace(QDBusConnection::connectToBus(address, QStringLiteral("private")));
        QVERIFY(m_bus->isConnected());

        // No portal on the bus yet: nothing to take shortcuts from.
        QVERIFY(!PortalGlobalShortcuts::create(*m_bus, QStringLiteral("app.ventrel.Ventrel")));

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        m_portal.setProcessEnvironment(environment);
        m_portal.setProcessChannelMode(QProcess::ForwardedChannels);
        m_portal.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(VENTREL_FAKE_PORTAL)});
        QTRY_VERIFY_WITH_TIMEOUT(
            m_bus->interface()->isServiceRegistered(QStringLiteral("org.freedesktop.portal.Desktop")), 10000);
    }

    void cleanupTestCase()
    {
        m_bus.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("private"));
        m_portal.kill();
        m_portal.waitForFinished();
        m_daemon.kill();
        m_daemon.waitForFinished();
    }

    void bindActivateChange()
    {
        const auto shortcuts = PortalGlobalShortcuts::create(*m_bus, QStringLiteral("app.ventrel.Ventrel"));
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
