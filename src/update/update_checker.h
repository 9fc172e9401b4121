#pragma once

#include <QObject>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;

// Asks the maker's server for the latest version, one request per check().
// GUI thread only; the answer arrives later as a signal, failures are silent.
class UpdateChecker : public QObject {
    Q_OBJECT
public:
    // A reply body longer than this is no version reply and is dropped
    // while it arrives.
    static constexpr qint64 kMaxReplyBytes = 64 * 1024;

    // A server that stops sending for this long ends the request.
    static constexpr int kTransferTimeoutMs = 30000;

    explicit UpdateChecker(QObject* parent = nullptr);

    // The version this program reports and compares ("1.1").
    static QString programVersion();

    // The server the ping endpoint and the fallback download page live on,
    // "scheme://host[:port]"; the build's setting until changed.
    void setSite(const QString& site);
    QString pingEndpoint() const;
    void setTransferTimeout(int milliseconds);
    QString downloadPage() const;

    // Starts one GET of `baseUrl` + `query` (which begins with "?") and
    // returns at once; `currentVersion` is what the reply is compared with.
    void check(const QString& baseUrl, const QString& query, const QString& currentVersion);

    // What check() does with a reply's body once the server has answered
    // without error: emits updateAvailable when it names a newer version.
    void readReply(const QByteArray& body, const QString& currentVersion);

signals:
    // At most once per check, when the server names a higher version;
    // `version` as the server wrote it, `url` an http(s) download address.
    void updateAvailable(const QString& version, const QString& url);

private:
    void onReplyFinished(QNetworkReply* reply, const QString& currentVersion);
    QString downloadAddress(const QString& offered) const;

    QNetworkAccessManager* m_networkManager = nullptr;
    QString m_site;
};
