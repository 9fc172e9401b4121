#include "update/update_checker.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>
#include <QVersionNumber>

namespace {

// Longer texts are no version; shown in the banner they would only stretch
// the window past the screen.
constexpr qsizetype kMaxVersionChars = 64;

} // namespace

UpdateChecker::UpdateChecker(QObject* parent)
    : QObject(parent)
    , m_networkManager(new QNetworkAccessManager(this))
    , m_site(QStringLiteral(ORVENNA_UPDATE_SITE))
{
    // Without it a server that accepts and never answers holds the request
    // for the whole run.
    setTransferTimeout(kTransferTimeoutMs);
}

void UpdateChecker::setTransferTimeout(int milliseconds)
{
    m_networkManager->setTransferTimeout(milliseconds);
}

QString UpdateChecker::programVersion()
{
    return QStringLiteral(ORVENNA_VERSION);
}

void UpdateChecker::setSite(const QString& site)
{
    m_site = site;
}

QString UpdateChecker::pingEndpoint() const
{
    return m_site + QStringLiteral("/api/ping.php");
}

QString UpdateChecker::downloadPage() const
{
    return m_site + QStringLiteral("/download");
}

void UpdateChecker::check(const QString& baseUrl, const QString& query, const QString& currentVersion)
{
    QNetworkRequest request(QUrl(baseUrl + query, QUrl::TolerantMode));
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("Orvenna/%1 (virtual camera)").arg(programVersion()));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = m_networkManager->get(request);
    // Whatever the server declares, an endless body is cut off as it arrives.
    connect(reply, &QNetworkReply::readyRead, this, [reply] {
        if (reply->bytesAvailable() > kMaxReplyBytes)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, currentVersion] { onReplyFinished(reply, currentVersion); });
}

void UpdateChecker::onReplyFinished(QNetworkReply* reply, const QString& currentVersion)
{
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError)
        return;
    readReply(reply->read(kMaxReplyBytes), currentVersion);  // all of it: the guard above bounds it
}

void UpdateChecker::readReply(const QByteArray& body, const QString& currentVersion)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return;
    const QJsonObject answer = document.object();
    const QString version = answer.value(QStringLiteral("version")).toString();
    if (version.isEmpty() || version.size() > kMaxVersionChars)
        return;
    // Normalised, so that "1.1.0" is no newer than "1.1".
    if (QVersionNumber::fromString(version).normalized() > QVersionNumber::fromString(currentVersion).normalized())
        emit updateAvailable(version, downloadAddress(answer.value(QStringLiteral("url")).toString()));
}

QString UpdateChecker::downloadAddress(const QString& offered) const
{
    // Only a web page may be offered; anything else (javascript:, file:,
    // a malformed text) falls back to the maker's download page.
    const QUrl url(offered, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (url.isValid() && (scheme == QLatin1String("https") || scheme == QLatin1String("http"))
        && !url.host().isEmpty())
        return url.toString(QUrl::FullyEncoded);
    return downloadPage();
}
