#include "views/AboutView.h"

#include "views/Accessibility.h"
#include "views/AppIcon.h"
#include "views/FocusRing.h"

#include <QApplication>
#include <QDate>
#include <QDesktopServices>
#include <QLabel>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

QLabel* label(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignHCenter);
    return l;
}

void setSecondary(QLabel* l)
{
    QPalette palette = l->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::PlaceholderText));
    l->setPalette(palette);
}

void scaleFont(QLabel* l, double factor, QFont::Weight weight = QFont::Normal)
{
    QFont font = l->font();
    font.setPointSizeF(font.pointSizeF() * factor);
    font.setWeight(weight);
    l->setFont(font);
}

} // namespace

QString AboutView::versionLine(const QString& version, const QString& build)
{
    return QStringLiteral("Version %1 (%2)")
        .arg(version.isEmpty() ? QStringLiteral("1.0") : version, build.isEmpty() ? QStringLiteral("1") : build);
}

QString AboutView::rightsLine(int year)
{
    return QStringLiteral("\u00A9 %1 Ventrel Project. All rights reserved.").arg(year);
}

AboutView::AboutView(QWidget* parent) : QWidget(parent)
{
    Accessibility::setRole(this, QAccessible::Dialog);
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this] { window()->close(); });
    }
    setFixedSize(windowSize);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(16);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("appIcon"));
    QIcon appIcon = QApplication::windowIcon();
    if (appIcon.isNull())
        appIcon = AppIcon::application();
    icon->setPixmap(appIcon.pixmap(80, 80));
    icon->setFixedSize(80, 80);
    icon->setScaledContents(true);
    layout->addWidget(icon, 0, Qt::AlignHCenter);

    QLabel* name = label(QStringLiteral("Ventrel"), this);
    scaleFont(name, 1.6, QFont::Bold);
    layout->addWidget(name);

    QLabel* version = label(versionLine(QStringLiteral(VENTREL_VERSION), QStringLiteral(VENTREL_BUILD_NUMBER)), this);
    version->setObjectName(QStringLiteral("versionLine"));
    setSecondary(version);
    layout->addWidget(version);

    auto* credits = new QVBoxLayout;
    credits->setSpacing(4);
    credits->setContentsMargins(0, 8, 0, 0);
    QLabel* madeWith =
        label(QStringLiteral("Made with <span style=\"color:#e0245e\">\u2665</span> from Earth"), this);
    madeWith->setTextFormat(Qt::RichText);
    credits->addWidget(madeWith);
    QLabel* author = label(QStringLiteral("Ventrel Project"), this);
    scaleFont(author, 1.0, QFont::Medium);
    credits->addWidget(author);
    QLabel* handle = label(QStringLiteral("(@ventrel)"), this);
    setSecondary(handle);
    credits->addWidget(handle);
    QLabel* link = label(QStringLiteral("<a href=\"%1\">%2</a>").arg(makerSite.toString(), makerSite.host()), this);
    link->setObjectName(QStringLiteral("siteLink"));
    link->setTextFormat(Qt::RichText);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link->setFocusPolicy(Qt::StrongFocus);
    FocusRing::install(link);
    connect(link, &QLabel::linkActivated, this, [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); });
    credits->addWidget(link);
    layout->addLayout(credits);

    layout->addStretch(1);

    QLabel* rights = label(rightsLine(QDate::currentDate().year()), this);
    rights->setObjectName(QStringLiteral("rightsLine"));
    scaleFont(rights, 0.85);
    setSecondary(rights);
    layout->addWidget(rights);
}
