#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

// The content of the About window: icon, name, version, credits with a link
// to the maker's site, and the rights line.
class AboutView : public QWidget {
    Q_OBJECT
public:
    explicit AboutView(QWidget* parent = nullptr);

    // "Version X (B)", with "1.0" and "1" standing in for missing values.
    static constexpr QSize windowSize{280, 320};

    static QString versionLine(const QString& version, const QString& build);
    static QString rightsLine(int year);

    static inline const QUrl makerSite = QUrl(QStringLiteral("https://ventrel.app"));
};
