// Media loading: the Open dialog, loading and classifying a file, its still
// preview, closing it, and drag and drop onto the window.
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

#include <string>

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
    const bool wasStreaming = m_sender.m_running && !m_sender.m_paused;
    onStop();
    m_currentFile = path;
    m_isVideo = isVideoFile(path);
    // Only regular files: opening a folder fails, a FIFO would block. Nothing
    // of the previous file may survive a load that fails.
    if (!QFileInfo(path).isFile() || !showPreview()) {
        const bool video = m_isVideo;
        clearMedia();
        m_settings->remove(settings_key::lastFile);
        updateControls();
        m_statusLabel->setText(video ? tr("Failed to open video.") : tr("Failed to load image."));
        return;
    }
    m_fileLabel->setText(QFileInfo(path).fileName());
    m_fileLabel->setStyleSheet(QString());
    m_settings->setValue(settings_key::lastFile, path);
    updateControls();
    if (wasStreaming) {
        onPlayPause();
        return;
    }
    m_statusLabel->setText(m_isVideo ? tr("Video loaded. Press Play to stream.")
                                     : tr("Image loaded. Press Play to stream."));
}

bool MainWindow::isVideoFile(const QString& path)
{
    return kVideoSuffixes.contains(QFileInfo(path).suffix().toLower());
}

bool MainWindow::showPreview()
{
    if (m_currentFile.isEmpty())
        return false;
    // Held for the whole call: the media layer reads it as wchar_t, which is
    // 32 bits on Linux.
    const std::wstring path = m_currentFile.toStdWString();
    if (m_isVideo) {
        VideoDecoder decoder;
        std::shared_ptr<const Picture> first;
        if (!decoder.Open(path.c_str()) || !(first = decoder.ReadPicture()))
            return false;
        m_stillPicture = std::move(first);
        m_duration = decoder.m_duration;
    } else {
        ImageLoader loader;
        if (!loader.Initialize() || !loader.LoadImageW(path.c_str(), 0, 0))
            return false;
        m_stillPicture = std::make_shared<FramePicture>(std::move(loader.m_pixels), static_cast<int>(loader.m_width),
                                                        static_cast<int>(loader.m_height));
        m_duration = 0.0;
    }
    m_preview->setPicture(m_stillPicture);
    m_seekSlider->setValue(0);
    m_timeLabel->setText(m_isVideo ? QStringLiteral("0:00 / %1").arg(formatTime(m_duration)) : tr("Image"));
    return true;
}

void MainWindow::unloadMedia()
{
    if (m_currentFile.isEmpty())
        return;
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
