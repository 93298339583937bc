#include "views/GnomeExtensionGroup.h"

#include "views/ViewStyle.h"

#include <QDBusConnection>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

GnomeExtensionGroup::GnomeExtensionGroup(GnomeShellExtension::Status status, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("gnomeExtensionGroup"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    auto* heading = new QLabel(QStringLiteral("GNOME Shell"), this);
    heading->setFont(ViewStyle::headline(font()));
    m_text = new QLabel(GnomeShellExtension::explanation(status), this);
    m_text->setObjectName(QStringLiteral("gnomeExtensionText"));
    m_text->setWordWrap(true);
    m_text->setFont(ViewStyle::caption(font()));
    m_enable = new QPushButton(QStringLiteral("Enable GNOME Extension"), this);
    m_enable->setObjectName(QStringLiteral("enableGnomeExtensionButton"));
    // Only a Shell that has loaded the extension can enable it.
    m_enable->setVisible(status == GnomeShellExtension::Status::disabled);
    layout->addWidget(heading);
    layout->addWidget(m_text);
    layout->addWidget(m_enable, 0, Qt::AlignLeft);
    connect(m_enable, &QPushButton::clicked, this, &GnomeExtensionGroup::enable);
}

std::optional<GnomeShellExtension::Status> GnomeExtensionGroup::needed()
{
    const auto status = GnomeShellExtension::probe(QDBusConnection::sessionBus());
    if (status == GnomeShellExtension::Status::ready || status == GnomeShellExtension::Status::noShell)
        return std::nullopt;
    return status;
}

void GnomeExtensionGroup::enable()
{
    QString error;
    if (GnomeShellExtension::enable(QDBusConnection::sessionBus(), &error)) {
        // The backend is chosen when Ventrel starts.
        m_text->setText(QStringLiteral("Enabled. Quit Ventrel and open it again to move windows through GNOME Shell."));
        m_enable->hide();
    } else {
        m_text->setText(error);
    }
}
