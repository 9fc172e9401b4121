// Media loading: the Open dialog, loading and classifying a file (on the
// loading thread), its still preview, closing it, and drag and drop onto the
// window.
#include "ui/main_window.h"

#include "ui/clickable_slider.h"
#include "ui/preview_widget.h"
#include "ui/settings_keys.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

#include <utility>

namespace {

// Files with these suffixes are videos; any other is read as an image. The
// Open dialog offers these images.
const QStringList kVideoSuffixes = {QStringLiteral("mp4"), QStringLiteral("avi"),  QStringLiteral("wmv"),
                                    QStringLiteral("mkv"), QStringLiteral("mov"),  QStringLiteral("ts"),
                                    QStringLiteral("m2ts"), QStringLiteral("mts")};
const QStringList kImageSuffixes = {QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"),
                                    QStringLiteral("bmp"), QStringLiteral("gif")};

// "*.mp4 *.avi ...": a file dialog's name filter.
QString patterns(const QStringList& suffixes)
{
    return QStringLiteral("*.") + suffixes.join(QStringLiteral(" *."));
}

// The first local file a drag carries; empty when it carries none.
QString firstLocalFile(const QMimeData* data)
{
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            return url.toLocalFile();
    }
    return {};
}

} // namespace

void MainWindow::onOpenFile()
{
    const QString folder = m_currentFile.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)
                               : QFileInfo(m_currentFile).absolutePath();
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Open File"), folder,
        tr("All supported files (%1);;Videos (%2);;Images (%3);;All files (*.*)")
            .arg(patterns(kVideoSuffixes + kImageSuffixes), patterns(kVideoSuffixes), patterns(kImageSuffixes)));
    if (!path.isEmpty())
        loadFile(path);
}

void MainWindow::openFiles(const QStringList& files)
{
    if (!files.isEmpty())
        loadFile(QFileInfo(files.first()).absoluteFilePath());
}

void MainWindow::loadFile(const QString& path)
{
    // A stream playing now, or one that a load still running replaced, goes
    // on with this file once it is loaded.
    const bool playWhenLoaded = (m_sender.m_running && !m_sender.m_paused) || (m_loader.isBusy() && m_playWhenLoaded);
    onStop();
    // Nothing of the previous file may survive, whatever this load gives.
    clearMedia();
    m_currentFile = path;
    m_isVideo = isVideoFile(path);
    m_playWhenLoaded = playWhenLoaded;
    m_fileLabel->setText(QFileInfo(path).fileName());  // grey until loaded
    m_loader.load(path, m_isVideo);
    updateControls();
    m_statusLabel->setText(tr("Loading..."));
}

bool MainWindow::isVideoFile(const QString& path)
{
    return kVideoSuffixes.contains(QFileInfo(path).suffix().toLower());
}

void MainWindow::onMediaLoaded(const std::shared_ptr<LoadedMedia>& media)
{
    if (!media->picture) {
        const bool video = m_isVideo;
        m_playWhenLoaded = false;
        clearMedia();
        m_settings->remove(settings_key::lastFile);
        updateControls();
        m_statusLabel->setText(video ? tr("Failed to open video.") : tr("Failed to load image."));
        return;
    }
    m_stillPicture = std::move(media->picture);
    m_duration = media->duration;
    m_decoder = std::move(media->decoder);
    m_preview->setPicture(m_stillPicture);
    m_seekSlider->setValue(0);
    m_timeLabel->setText(m_isVideo ? QStringLiteral("0:00 / %1").arg(formatTime(m_duration)) : tr("Image"));
    m_fileLabel->setStyleSheet(QString());
    m_settings->setValue(settings_key::lastFile, m_currentFile);
    updateControls();
    if (std::exchange(m_playWhenLoaded, false)) {
        onPlayPause();
        return;
    }
    m_statusLabel->setText(m_isVideo ? tr("Video loaded. Press Play to stream.")
                                     : tr("Image loaded. Press Play to stream."));
}

void MainWindow::unloadMedia()
{
    if (m_currentFile.isEmpty())
        return;
    m_loader.cancel();
    m_playWhenLoaded = false;
    onStop();
    clearMedia();
    m_settings->remove(settings_key::lastFile);
    updateControls();
    m_statusLabel->setText(QStringLiteral("Ready."));
}

void MainWindow::clearMedia()
{
    m_currentFile.clear();
    m_isVideo = false;
    m_decoder.reset();
    m_stillPicture.reset();
    m_duration = 0.0;
    m_pendingSeek = -1.0;
    m_preview->clear();
    m_fileLabel->setText(tr("No file selected"));
    m_fileLabel->setStyleSheet(QStringLiteral("color: #888;"));
    m_seekSlider->setValue(0);
    m_timeLabel->setText(QStringLiteral("0:00 / 0:00"));
}

// A drop is always a copy: a move would let the source program delete the
// user's file once we have it.
void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if ((event->possibleActions() & Qt::CopyAction) && !firstLocalFile(event->mimeData()).isEmpty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QString path = firstLocalFile(event->mimeData());
    if (!(event->possibleActions() & Qt::CopyAction) || path.isEmpty())
        return;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    loadFile(path);
}
