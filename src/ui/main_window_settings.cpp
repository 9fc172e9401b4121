// The settings file: what the window restores at start and saves on closing.
// The file comes from outside and may hold anything: every value that does
// not read as what this program writes counts as absent. A save that fails
// is told, never dropped in silence.
#include "ui/main_window.h"

#include "ui/settings_keys.h"
#include "ui/settings_location.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSettings>

namespace {

bool readSwitch(const QSettings& settings, QAnyStringView key, bool fallback)
{
    const QString text = settings.value(key).toString();
    if (text == QLatin1String("true"))
        return true;
    if (text == QLatin1String("false"))
        return false;
    return fallback;
}

} // namespace

void MainWindow::loadSettings()
{
    // Qt restores a cut geometry without complaint, reading zeros past its
    // end: a stored one must be as long as the one this Qt writes.
    const QByteArray geometry = m_settings->value(settings_key::windowGeometry).toByteArray();
    if (geometry.size() < saveGeometry().size() || !restoreGeometry(geometry))
        resize(780, 600);

    const QString resolution = m_settings->value(settings_key::resolution, QStringLiteral("1280x720")).toString();
    int index = m_resolutionCombo->findText(resolution, Qt::MatchExactly | Qt::MatchCaseSensitive);
    // Anchored as a whole: "$" alone would let a trailing line break through.
    static const QRegularExpression size(QRegularExpression::anchoredPattern(QStringLiteral("\\d{2,5}x\\d{2,5}")));
    if (index < 0 && size.match(resolution).hasMatch()) {
        m_resolutionCombo->addItem(resolution);
        index = m_resolutionCombo->count() - 1;
    }
    if (index >= 0)
        m_resolutionCombo->setCurrentIndex(index);

    m_loopCheck->setChecked(readSwitch(*m_settings, settings_key::loop, true));
    m_stretchCheck->setChecked(readSwitch(*m_settings, settings_key::stretch, false));
    m_mirrorCheck->setChecked(readSwitch(*m_settings, settings_key::mirror, false));

    // Regular files only: a directory cannot play, and a pipe or a device
    // would block the load until something writes to it. The load runs on
    // the loading thread: the window shows at once and the file follows.
    const QString lastFile = m_settings->value(settings_key::lastFile).toString();
    if (!lastFile.isEmpty() && QFileInfo(lastFile).isFile())
        loadFile(lastFile);
}

bool MainWindow::writeSettings()
{
    // A settings object of its own, for a status of its own: the window's
    // keeps its first failure for ever. Both share what is yet to be written.
    const QString file = m_settings->fileName();
    QSettings writer(file, QSettings::IniFormat);
    writer.sync();
    if (writer.status() != QSettings::AccessError)
        return true;
    QString reason = settingsWriteProblem(file);
    if (reason.isEmpty())
        reason = tr("the file cannot be written");
    m_statusLabel->setText(tr("The settings could not be saved to %1: %2").arg(QDir::toNativeSeparators(file), reason));
    return false;
}

void MainWindow::saveSettingsForQuit(bool mayAsk)
{
    saveSettings();
    if (writeSettings())
        return;
    // At a session's end nobody may be there to answer: the status line and
    // the log only.
    qWarning("%s", qUtf8Printable(m_statusLabel->text()));
    if (mayAsk)
        QMessageBox::warning(this, tr("Settings not saved"), m_statusLabel->text());
}

void MainWindow::saveSettings()
{
    m_settings->setValue(settings_key::windowGeometry, saveGeometry());
    m_settings->setValue(settings_key::resolution, m_resolutionCombo->currentText());
    m_settings->setValue(settings_key::loop, m_loopCheck->isChecked());
    m_settings->setValue(settings_key::stretch, m_stretchCheck->isChecked());
    m_settings->setValue(settings_key::mirror, m_mirrorCheck->isChecked());
    m_settings->setValue(settings_key::lastFile, m_currentFile);
}
