#include "window_under_test.h"
#include "update/update_checker.h"

#include <QDate>
#include <QFrame>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrlQuery>

#include <gtest/gtest.h>

#include <functional>

namespace {

QByteArray http(const QByteArray& status, const QByteArray& body, bool withLength = true)
{
    const QByteArray length = withLength ? "Content-Length: " + QByteArray::number(body.size()) + "\r\n" : "";
    return "HTTP/1.1 " + status + "\r\nConnection: close\r\n" + length + "\r\n" + body;
}

// Answers each (body-less) request with `response`, keeps its head; `hold` keeps the connection.
struct LocalHttpServer : QTcpServer {
    QByteArray response;
    bool hold = false;
    QList<QByteArray> heads{""};  // the last one may be incomplete

    LocalHttpServer()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                if (!(heads.last() += socket->readAll()).endsWith("\r\n\r\n"))
                    return;
                heads << "";
                socket->write(response);
                if (!hold)
                    socket->disconnectFromHost();
            });
        });
    }
    QString site() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }
    QByteArray target() const { return heads.value(heads.size() - 2).split(' ').value(1); }
};

// Runs `start`; true once the one request it made is over.
bool requestEnds(const QObject* checker, const std::function<void()>& start)
{
    const QList<QNetworkReply*> before = checker->findChildren<QNetworkReply*>();
    start();
    for (QNetworkReply* reply : checker->findChildren<QNetworkReply*>())
        if (!before.contains(reply))
            return QSignalSpy(reply, &QObject::destroyed).wait(5000);
    return false;
}

// What the label shows, and where its links lead.
QString rendered(const QLabel* label)
{
    QTextDocument document;
    document.setHtml(label->text());
    QString shown = document.toPlainText();
    for (auto it = document.begin().begin(); !it.atEnd(); ++it)
        if (it.fragment().charFormat().isAnchor())
            shown += " -> " + it.fragment().charFormat().anchorHref();
    return shown;
}

// A window on its own settings file whose checker asks `site`.
struct UpdateWindow : WindowUnderTest {
    UpdateWindow(const QString& ini, const QString& site)  // after the start's own check
    {
        delete m_settings;
        m_settings = new QSettings(ini, QSettings::IniFormat, this);
        m_updateChecker->setSite(site);
    }
};

} // namespace

TEST(UpdateCheckTest, PingsOncePerDayCarryingOnlyWhatTheUserAllows)
{
    LocalHttpServer server;
    server.response = http("200 OK", R"j({"version":"2.0-beta<b>!</b>","url":"javascript:alert(1)"})j");
    QTemporaryDir dir;
    const QString ini = dir.filePath("orvenna.ini");
    UpdateWindow window(ini, server.site());
    QSettings& settings = *window.m_settings;
    const auto ping = [&](const std::function<void()>& meanwhile = [] {}) {
        return requestEnds(window.m_updateChecker, [&] { window.checkForUpdates(); meanwhile(); });
    };
    const auto sentItems = [&] { return QUrlQuery(QUrl::fromEncoded(server.target()).query()).queryItems(); };
    const auto items = [](const QString& id, const QString& language) {
        return QList<std::pair<QString, QString>>{{"id", id}, {"v", "1.1"}, {"os", QSysInfo::productVersion()}, {"lang", language}};
    };
    const QRegularExpression uuid4("^[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}$");

    // First start: today is on disk before the request goes out with a new id, the version,
    // the system's version and language in that order.
    ASSERT_TRUE(ping([&] {
        QFile file(ini);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly) && file.readAll().contains(
            "lastPing=" + QDate::currentDate().toString(Qt::ISODate).toLatin1()));
    }));
    const QString id = settings.value("analytics/id").toString();
    EXPECT_TRUE(uuid4.match(id).hasMatch()) << id.toStdString();
    EXPECT_EQ(sentItems(), items(id, window.systemLanguage()));
    EXPECT_TRUE(server.heads.first().contains("\r\nUser-Agent: Orvenna/1.1 (virtual camera)\r\n"));

    // 2.0-beta is newer; the reply's markup shows as text, its script link gives way to the
    // download page, and a quote cannot leave the link.
    EXPECT_FALSE(window.m_updateBanner->isHidden());
    EXPECT_EQ(rendered(window.m_updateLabel).toStdString(),
              "Orvenna 2.0-beta<b>!</b> is available. Download -> " + server.site().toStdString() + "/download");
    window.showUpdateBanner("1.2", R"(https://example.org/?a=1&b="><b>)");
    EXPECT_EQ(rendered(window.m_updateLabel).toStdString(), R"(Orvenna 1.2 is available. Download -> https://example.org/?a=1&b="><b>)");

    EXPECT_FALSE(ping()) << "a second request the same day";

    settings.setValue("analytics/lastPing", "2000-01-01");
    settings.setValue("analytics/enabled", false);
    ASSERT_TRUE(ping());
    EXPECT_EQ(server.target(), "/api/ping.php?v=1.1");

    // Statistics on again: the stored id is sent once more; a stored non-id gives way to a new one.
    settings.setValue("analytics/enabled", true);
    settings.setValue("language", "pt");
    for (const QString& stored : {id, QStringLiteral("not-an-id")}) {
        settings.setValue("analytics/lastPing", "2000-01-01");
        settings.setValue("analytics/id", stored);
        ASSERT_TRUE(ping());
        const QString sent = settings.value("analytics/id").toString();
        EXPECT_TRUE(uuid4.match(sent).hasMatch() && (sent == id) == (stored == id)) << sent.toStdString();
        EXPECT_EQ(sentItems(), items(sent, "pt"));
    }
}

TEST(UpdateCheckerTest, AnnouncesOnlyAHigherVersionFromAProperReply)
{
    QByteArray atLimit = R"({"version":"1.2"})";
    atLimit.append(UpdateChecker::kMaxReplyBytes - atLimit.size(), ' ');
    const QString page = QStringLiteral("https://example.org/get?a=1&b=2");
    const struct {
        const char* name;
        QByteArray response;
        QString version;  // empty: nothing announced
        QString url;      // empty: the fallback download page
        bool hold = false;
    } cases[] = {
        {"higher, no url", http("200 OK", R"({"version":"1.2"})"), "1.2", ""},
        {"equal", http("200 OK", R"({"version":"1.1"})"), "", ""},
        {"equal, written longer", http("200 OK", R"({"version":"1.1.0"})"), "", ""},
        {"lower", http("200 OK", R"({"version":"1.0.9"})"), "", ""},
        {"third segment", http("200 OK", R"({"version":"1.1.1","url":")" + page.toLatin1() + "\"}"), "1.1.1", page},
        {"not a web page", http("200 OK", R"({"version":"1.2","url":"file:///etc/passwd"})"), "1.2", ""},
        {"array", http("200 OK", R"([{"version":"1.2"}])"), "", ""},
        {"plain text", http("200 OK", "1.2"), "", ""},
        {"HTTP error", http("500 Internal Server Error", R"({"version":"1.2"})"), "", ""},
        {"overlong version", http("200 OK", R"({"version":"1.2.)" + QByteArray(61, 'x') + "\"}"), "", ""},
        {"body at the limit", http("200 OK", atLimit), "1.2", ""},
        {"endless body", http("200 OK", atLimit + ' ', false), "", "", true},
        {"silent server", "", "", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LocalHttpServer server;
        std::tie(server.response, server.hold) = std::tie(c.response, c.hold);
        UpdateChecker checker;
        checker.setSite(server.site());
        checker.setTransferTimeout(500);
        QSignalSpy announced(&checker, &UpdateChecker::updateAvailable);
        ASSERT_TRUE(requestEnds(&checker, [&] { checker.check(checker.pingEndpoint(), "?v=1.1", "1.1"); }));
        const QList<QVariant> expected{c.version, c.url.isEmpty() ? checker.downloadPage() : c.url};
        EXPECT_EQ(announced, c.version.isEmpty() ? QList<QList<QVariant>>() : QList<QList<QVariant>>{expected});
    }
}
