#include "stores/FeedFetcher.h"

#include <QHostAddress>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <utility>

namespace {

bool isLoopbackHost(const QString& host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

QString sizeText(qint64 bytes)
{
    return QLocale::c().formattedDataSize(bytes, 0, QLocale::DataSizeTraditionalFormat);
}

} // namespace

FeedFetcher::FeedFetcher(QNetworkAccessManager& network, QObject* parent) : QObject(parent), m_network(network)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        const double seconds = std::chrono::duration<double>(m_limits.timeout).count();
        finish(std::unexpected(QStringLiteral("The update server did not answer within %1 seconds.")
                                   .arg(QLocale::c().toString(seconds, 'g', 3))));
    });
}

FeedFetcher::~FeedFetcher()
{
    cancel();
}

std::expected<void, QString> FeedFetcher::checkAddress(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty())
        return std::unexpected(QStringLiteral("The update feed address \"%1\" is not valid.").arg(url.toString()));
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return {};
    if (scheme == QLatin1String("http") && isLoopbackHost(url.host()))
        return {};
    return std::unexpected(
        QStringLiteral("The update feed address \"%1\" is not secure; only https is allowed.").arg(url.toString()));
}

std::expected<void, QString> FeedFetcher::checkRedirect(const QUrl& from, const QUrl& to)
{
    if (auto allowed = checkAddress(to); !allowed)
        return allowed;
    // Loopback http is allowed for a first request only so tests can serve
    // feeds; an https request must never continue in the clear.
    if (from.scheme().toLower() == QLatin1String("https") && to.scheme().toLower() != QLatin1String("https"))
        return std::unexpected(
            QStringLiteral("The update feed address \"%1\" is not secure; only https is allowed.").arg(to.toString()));
    return {};
}

std::expected<void, QString> FeedFetcher::start(const QUrl& url, Limits limits, std::function<void(Result)> done)
{
    cancel();
    if (auto allowed = checkAddress(url); !allowed)
        return allowed;

    m_limits = limits;
    m_done = std::move(done);
    m_data.clear();

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    // One more than ours, so a loop ends at our count with our message.
    request.setMaximumRedirectsAllowed(maximumRedirects + 1);
    m_redirects = 0;
    m_lastUrl = url;
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("Ventrel/%1").arg(QString::fromLatin1(VENTREL_VERSION)));
    m_reply = m_network.get(request);

    connect(m_reply, &QNetworkReply::redirected, this, [this](const QUrl& target) {
        // Counted here as well: past Qt's own limit a reply ends without an
        // error, as if the last redirect were the answer.
        if (++m_redirects > maximumRedirects) {
            finish(std::unexpected(QStringLiteral("The update server redirected the check more than %1 times.")
                                       .arg(maximumRedirects)));
            return;
        }
        const QUrl from = std::exchange(m_lastUrl, target);
        if (auto allowed = checkRedirect(from, target); !allowed) {
            finish(std::unexpected(QStringLiteral("The update server sent the check elsewhere. %1").arg(allowed.error())));
            return;
        }
        emit m_reply->redirectAllowed();
    });
    connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] {
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > m_limits.maximumSize)
            finish(std::unexpected(
                QStringLiteral("The update feed is larger than %1.").arg(sizeText(m_limits.maximumSize))));
    });
    connect(m_reply, &QNetworkReply::readyRead, this, &FeedFetcher::readAvailable);
    connect(m_reply, &QNetworkReply::finished, this, &FeedFetcher::onFinished);
    m_deadline.start(m_limits.timeout);
    return {};
}

void FeedFetcher::cancel()
{
    m_done = nullptr;
    if (!m_reply)
        return;
    m_deadline.stop();
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    // abort() emits finished() at once; nobody must be listening by then.
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void FeedFetcher::readAvailable()
{
    // Read no more than one byte past the cap: enough to know it was passed.
    const qint64 room = m_limits.maximumSize - m_data.size() + 1;
    m_data += m_reply->read(room);
    if (m_data.size() > m_limits.maximumSize)
        finish(std::unexpected(QStringLiteral("The update feed is larger than %1.").arg(sizeText(m_limits.maximumSize))));
}

void FeedFetcher::onFinished()
{
    const QVariant statusAttribute = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (m_reply->error() == QNetworkReply::NoError && statusAttribute.isValid()
        && (statusAttribute.toInt() < 200 || statusAttribute.toInt() > 299)) {
        // A redirect loop can end here too, with whatever status Qt last saw.
        finish(std::unexpected(QStringLiteral("The update server answered with HTTP status %1%2%3.")
                                   .arg(statusAttribute.toInt())
                                   .arg(reasonText(),
                                        m_redirects ? QStringLiteral(" after %1 redirects").arg(m_redirects)
                                                    : QString())));
        return;
    }
    if (m_reply->error() == QNetworkReply::NoError) {
        readAvailable();
        if (m_reply)
            finish(std::move(m_data));
        return;
    }
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400) {
        finish(std::unexpected(
            QStringLiteral("The update server answered with HTTP status %1%2.").arg(status).arg(reasonText())));
        return;
    }
    finish(std::unexpected(QStringLiteral("Could not reach the update server: %1").arg(m_reply->errorString())));
}

QString FeedFetcher::reasonText() const
{
    // The server's own words, kept short: they end up in a dialog.
    const QString reason = m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().simplified();
    return reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(reason.left(80));
}

void FeedFetcher::finish(Result result)
{
    std::function<void(Result)> done = std::move(m_done);
    cancel();
    if (done)
        done(std::move(result));
}
