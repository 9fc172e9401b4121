#include "ui/main_window.h"
#include "update/update_checker.h"

#include <QDate>
#include <QFrame>
#include <QLabel>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
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
    return "HTTP/1.1 " + status + "\r\nConnection: close\r\n"
        + (withLength ? "Content-Length: " + QByteArray::number(body.size()) + "\r\n" : QByteArray()) + "\r\n" + body;
}

// Answers every request on the loopback with `response`, keeping each one's
// target and User-Agent; `hold` leaves the connection open after answering.
struct LocalHttpServer : QTcpServer {
    QByteArray response;
    bool hold = false;
    QList<QByteArray> targets, agents;

    LocalHttpServer()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                const QByteArray head = socket->property("head").toByteArray() + socket->readAll();
                socket->setProperty("head", head);
                if (!head.contains("\r\n\r\n"))
                    return;
                targets << head.split(' ').value(1);
                agents << QRegularExpression("\r\nUser-Agent: ([^\r]*)", QRegularExpression::CaseInsensitiveOption)
                              .match(QString::fromLatin1(head)).captured(1).toLatin1();
                socket->write(response);
                if (!hold)
                    socket->disconnectFromHost();
            });
        });
    }
    QString site() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }
};

// Runs `start` and waits until the one request it made is over; false when
// it made none or the request never ended.
bool requestEnds(const QObject* checker, const std::function<void()>& start)
{
    const QList<QNetworkReply*> before = checker->findChildren<QNetworkReply*>();
    start();
    for (QNetworkReply* reply : checker->findChildren<QNetworkReply*>())
        if (!before.contains(reply))
            return QSignalSpy(reply, &QObject::destroyed).wait(5000);
    return false;
}

// What the label shows as text, and the links it holds.
std::pair<QString, QStringList> rendered(const QLabel* label)
{
    QTextDocument document;
    document.setHtml(label->text());
    QStringList links;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isAnchor())
                links << it.fragment().charFormat().anchorHref();
    return {document.toPlainText(), links};
}

// A window on its own settings file whose checker asks `site`.
struct WindowUnderTest : MainWindow {
    using MainWindow::checkForUpdates, MainWindow::m_settings, MainWindow::m_updateBanner,
        MainWindow::m_updateChecker, MainWindow::m_updateLabel, MainWindow::showUpdateBanner,
        MainWindow::systemLanguage;
    WindowUnderTest(const QString& ini, const QString& site)
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
    const QString ini = dir.filePath(QStringLiteral("orvenna.ini"));
    WindowUnderTest window(ini, server.site());
    QSettings& settings = *window.m_settings;
    const auto ping = [&] { return requestEnds(window.m_updateChecker, [&] { window.checkForUpdates(); }); };

    // First start ever: today is on disk before the request, a new v4 id goes
    // with version, system version and language, in that order.
    ASSERT_TRUE(requestEnds(window.m_updateChecker, [&] {
        window.checkForUpdates();
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().contains("lastPing=" + QDate::currentDate().toString(Qt::ISODate).toLatin1()));
    }));
    const QRegularExpression uuid4("^[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}$");
    const QString id = settings.value(QStringLiteral("analytics/id")).toString();
    EXPECT_TRUE(uuid4.match(id).hasMatch()) << id.toStdString();
    ASSERT_EQ(server.targets.size(), 1);
    const QByteArray target = server.targets.last();
    EXPECT_TRUE(target.startsWith("/api/ping.php?id=")) << target.constData();
    using Items = QList<std::pair<QString, QString>>;
    EXPECT_EQ(QUrlQuery(QUrl::fromEncoded(target).query()).queryItems(QUrl::FullyDecoded),
              Items({{"id", id}, {"v", "1.1"}, {"os", QSysInfo::productVersion()}, {"lang", window.systemLanguage()}}));
    EXPECT_EQ(server.agents.last(), "Orvenna/1.1 (virtual camera)");

    // The reply named 2.0-beta: shown as received, as text, with the
    // download page instead of the offered script.
    EXPECT_FALSE(window.m_updateBanner->isHidden());
    const auto [text, links] = rendered(window.m_updateLabel);
    EXPECT_EQ(text.toStdString(), "Orvenna 2.0-beta<b>!</b> is available. Download");
    EXPECT_EQ(links.join(' ').toStdString(), (server.site() + "/download").toStdString());
    window.showUpdateBanner(QStringLiteral("1.2"), QStringLiteral(R"(https://example.org/?a=1&b="><b>)"));
    EXPECT_EQ(rendered(window.m_updateLabel).second.join(' ').toStdString(), R"(https://example.org/?a=1&b="><b>)");

    EXPECT_FALSE(ping()) << "a second request the same day";

    // A later day with statistics off: the version alone; the id stays.
    settings.setValue(QStringLiteral("analytics/lastPing"), QStringLiteral("2000-01-01"));
    settings.setValue(QStringLiteral("analytics/enabled"), false);
    ASSERT_TRUE(ping());
    EXPECT_EQ(server.targets.last(), "/api/ping.php?v=1.1");

    // On again with a chosen language: the stored id is reused; one that is
    // no proper id is replaced by a new one.
    for (const QString& stored : {id, QStringLiteral("not-an-id")}) {
        settings.setValue(QStringLiteral("analytics/lastPing"), QStringLiteral("2000-01-01"));
        settings.setValue(QStringLiteral("analytics/enabled"), true);
        settings.setValue(QStringLiteral("analytics/id"), stored);
        settings.setValue(QStringLiteral("language"), QStringLiteral("pt"));
        ASSERT_TRUE(ping());
        const QString sent = QUrlQuery(QUrl::fromEncoded(server.targets.last()).query()).queryItemValue("id");
        EXPECT_EQ(sent, settings.value(QStringLiteral("analytics/id")).toString());
        EXPECT_EQ(sent == id, stored == id);
        EXPECT_TRUE(uuid4.match(sent).hasMatch()) << sent.toStdString();
        EXPECT_TRUE(server.targets.last().endsWith("&lang=pt"));
    }
}

TEST(UpdateCheckerTest, AnnouncesOnlyAHigherVersionFromAProperReply)
{
    QByteArray atLimit = R"({"version":"1.2"})";
    atLimit.append(UpdateChecker::kMaxReplyBytes - atLimit.size(), ' ');
    const QString page = QStringLiteral("https://example.org/get?a=1&b=2");
    struct Case {
        const char* name;
        QByteArray response;
        QString version;  // empty: nothing announced
        QString url;      // empty: the fallback download page
        bool hold = false;
    };
    const Case cases[] = {
        {"higher, no url", http("200 OK", R"({"version":"1.2"})"), "1.2", ""},
        {"equal", http("200 OK", R"({"version":"1.1"})"), "", ""},
        {"lower", http("200 OK", R"({"version":"1.0.9"})"), "", ""},
        {"third segment", http("200 OK", R"({"version":"1.1.1","url":")" + page.toLatin1() + "\"}"), "1.1.1", page},
        {"not a web page", http("200 OK", R"({"version":"1.2","url":"file:///etc/passwd"})"), "1.2", ""},
        {"array", http("200 OK", R"([{"version":"1.2"}])"), "", ""},
        {"plain text", http("200 OK", "1.2"), "", ""},
        {"HTTP error", http("500 Internal Server Error", R"({"version":"1.2"})"), "", ""},
        {"overlong version", http("200 OK", R"({"version":"1.2.)" + QByteArray(61, 'x') + "\"}"), "", ""},
        {"body at the limit", http("200 OK", atLimit), "1.2", ""},
        {"endless body", http("200 OK", atLimit + ' ', false), "", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LocalHttpServer server;
        server.response = c.response;
        server.hold = c.hold;
        UpdateChecker checker;
        checker.setSite(server.site());
        QSignalSpy announced(&checker, &UpdateChecker::updateAvailable);
        ASSERT_TRUE(requestEnds(&checker, [&] { checker.check(checker.pingEndpoint(), "?v=1.1", "1.1"); }));
        const QList<QVariant> expected{c.version, c.url.isEmpty() ? checker.downloadPage() : c.url};
        EXPECT_EQ(announced, c.version.isEmpty() ? QList<QList<QVariant>>() : QList<QList<QVariant>>{expected});
    }
}
