#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <expected>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

// Downloads an update feed, with a deadline for the whole transfer and a cap
// on its size, so that a slow, endless or huge answer ends as a message
// rather than a hang. Only https is fetched, plain http only from the
// loopback interface (for tests); redirects are held to the same rule, never
// lead from https to http, and are bounded in number. Only a 2xx answer is a feed.
class FeedFetcher : public QObject {
    Q_OBJECT
public:
    struct Limits {
        std::chrono::milliseconds timeout{15000};
        qint64 maximumSize = 1024 * 1024;
    };
    using Result = std::expected<QByteArray, QString>;

    explicit FeedFetcher(QNetworkAccessManager& network, QObject* parent = nullptr);
    ~FeedFetcher() override;

    // Whether url may be fetched at all; the message says why not.
    static std::expected<void, QString> checkAddress(const QUrl& url);
    // Whether a request for from may follow a redirect to to.
    static std::expected<void, QString> checkRedirect(const QUrl& from, const QUrl& to);
    static constexpr int maximumRedirects = 5;

    // Starts a download, cancelling any running one. A refused address is
    // returned at once and nothing goes on the network; otherwise done is
    // called exactly once, later, unless the download is cancelled first.
    std::expected<void, QString> start(const QUrl& url, Limits limits, std::function<void(Result)> done);
    void cancel();
    bool isRunning() const { return !m_reply.isNull(); }

private:
    void readAvailable();
    void onFinished();
    void finish(Result result);
    QString reasonText() const;

    QNetworkAccessManager& m_network;
    QPointer<QNetworkReply> m_reply;
    QTimer m_deadline;
    Limits m_limits;
    QByteArray m_data;
    QUrl m_lastUrl;
    int m_redirects = 0;
    std::function<void(Result)> m_done;
};
