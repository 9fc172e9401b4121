// The daily version check and the banner that announces a newer version.
#include "ui/main_window.h"

#include "ui/settings_keys.h"

#include "update/update_checker.h"

#include <QDate>
#include <QFrame>
#include <QLabel>
#include <QSettings>
#include <QSysInfo>
#include <QUrlQuery>
#include <QUuid>

namespace {

// The stored installation id, or a new random one when none (or no proper
// one) is stored: only a lower-case UUID without braces is ever sent.
QString installationId(QSettings& settings)
{
    const QString stored = settings.value(settings_key::analyticsId).toString();
    if (QUuid::fromString(stored).toString(QUuid::WithoutBraces) == stored)
        return stored;
    const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    settings.setValue(settings_key::analyticsId, id);
    return id;
}

} // namespace

void MainWindow::checkForUpdates()
{
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    if (m_settings->value(settings_key::lastPing).toString() == today)
        return;
    m_settings->setValue(settings_key::lastPing, today);

    const QString version = UpdateChecker::programVersion();
    QString query;
    if (m_settings->value(settings_key::analyticsEnabled, true).toBool()) {
        const QString language = m_settings->value(settings_key::language, QStringLiteral("auto")).toString();
        QUrlQuery items;
        items.addQueryItem(QStringLiteral("id"), installationId(*m_settings));
        items.addQueryItem(QStringLiteral("v"), version);
        items.addQueryItem(QStringLiteral("os"), QSysInfo::productVersion());
        items.addQueryItem(QStringLiteral("lang"),
                           language == QLatin1String("auto") ? systemLanguage() : language);
        query = QLatin1Char('?') + items.query(QUrl::FullyEncoded);
    } else {
        query = QStringLiteral("?v=%1").arg(version);
    }
    // Today's date and a new id reach the disk before anything is sent: a
    // failed request is not retried today, and one id is ever sent.
    writeSettings();
    m_updateChecker->check(m_updateChecker->pingEndpoint(), query, version);
}

void MainWindow::showUpdateBanner(const QString& version, const QString& url)
{
    // Both come from the server: shown as text, never read as markup.
    const QString link = QStringLiteral(R"(  <a style="color:#fff;font-weight:bold;" href="%1">%2</a>)")
                             .arg(url.toHtmlEscaped(), tr("Download"));
    m_updateLabel->setText(tr("Orvenna %1 is available.").arg(version.toHtmlEscaped()) + link);
    m_updateBanner->show();
}
