// Streaming control: Play, Pause, Resume and Stop, the end of a stream, the
// start-up probe of the camera library and the output resolution.
#include "ui/main_window.h"

#include "ui/camera_registrar.h"
#include "ui/clickable_slider.h"
#include "ui/preview_widget.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMetaObject>

#include <softcam.h>

#include <algorithm>
#include <cmath>

namespace {

// 64 to the camera library's largest side, rounded down to a multiple of 4.
int boundedSide(int value)
{
    if (value <= 63)
        return 64;
    if (value > SOFTCAM_MAX_SIDE)
        return SOFTCAM_MAX_SIDE;
    return value - value % 4;
}

} // namespace

void MainWindow::onPlayPause()
{
    if (m_sender.m_running) {
        if (m_sender.m_paused) {
            // A seek made while paused has landed: the ticks follow the stream from there.
            if (m_pendingSeek >= 0.0 && std::abs(m_sender.m_videoPosition - m_pendingSeek) <= 0.5)
                m_pendingSeek = -1.0;
            m_sender.Resume();
            updateControls();
            m_statusLabel->setText(tr("Resuming..."));
        } else {
            m_sender.Pause();
            updateControls();
            m_statusLabel->setText(tr("Paused."));
        }
        return;
    }
    if (m_currentFile.isEmpty()) {
        m_statusLabel->setText(tr("Open a file first."));
        return;
    }
    // Play waits for the load: the button is disabled until it ends, and the
    // Space key leaves "Loading..." standing.
    if (m_loader.isBusy())
        return;
    if (m_registrar->state() == CameraRegistrar::State::NotRegistered) {
        m_statusLabel->setText(tr("Register the camera first."));
        return;
    }
    int width = 0;
    int height = 0;
    getSelectedResolution(width, height);

    // The sender hands each stream its own copies of both callbacks, so
    // replacing them never overlaps a call of an earlier thread.
    m_sender.m_frameCallback = [preview = m_preview](PictureRows& source) { preview->showRows(source); };
    // Through Qt's event queue to the GUI thread, by name: nothing of the
    // window is touched on the camera thread.
    m_sender.m_finishedCallback = [this](std::uint64_t stream) {
        QMetaObject::invokeMethod(this, "onStreamEnded", Qt::QueuedConnection, Q_ARG(quint64, stream));
    };

    // What the load made is streamed: nothing is opened or decoded again here.
    m_pendingSeek = -1.0;
    if (m_isVideo) {
        // A NaN rate counts as too low.
        const double fps = m_decoder->m_fps >= 1.0 ? std::min(m_decoder->m_fps, 120.0) : 1.0;
        if (!m_sender.InitCamera(width, height, static_cast<float>(fps))) {
            m_statusLabel->setText(tr("Failed to create virtual camera."));
            return;
        }
        // Playback starts where the slider was left while stopped, else at
        // the beginning: the decoder stays where the load or the last stream
        // left it.
        const double duration = m_decoder->m_duration;
        const double start = m_seekSlider->value() > 0 && duration > 0.0 ? m_seekSlider->value() / 1000.0 * duration : 0.0;
        m_decoder->SeekTo(start);
        if (start > 0.0)
            requestSeek(start);  // the slider holds there until the stream arrives
        m_sender.SetSoundSource(soundSource());
        m_sender.StartVideo(m_decoder.get(), m_loopCheck->isChecked());
    } else {
        if (!m_sender.InitCamera(width, height, 30.0f)) {
            m_statusLabel->setText(tr("Failed to create virtual camera."));
            return;
        }
        m_sender.StartImage(m_stillPicture->frame(), m_stillPicture->width(), m_stillPicture->height());
    }
    updateControls();
    m_statusLabel->setText(tr("Streaming..."));
}

void MainWindow::onStop()
{
    // The decoder stays open with the loaded video, for the next Play.
    m_sender.Stop();
    m_sender.ShutdownCamera();
    if (m_stillPicture)
        m_preview->setPicture(m_stillPicture);
    else
        m_preview->clear();
    m_seekSlider->setValue(0);
    m_pendingSeek = -1.0;
    m_connectionLabel->setText(QString());
    showTrayState(QStringLiteral(":/icons/orvenna.svg"), QStringLiteral("Orvenna"));
    updateControls();
    m_statusLabel->setText(m_currentFile.isEmpty() ? tr("Ready.") : tr("Stopped."));
}

void MainWindow::onStreamEnded(quint64 stream)
{
    if (stream == m_sender.CurrentStreamId())
        onPlaybackFinished();
}

void MainWindow::onPlaybackFinished()
{
    onStop();
    m_statusLabel->setText(tr("Playback finished."));
}

bool MainWindow::initCamera()
{
    int width = 0;
    int height = 0;
    getSelectedResolution(width, height);
    if (!m_sender.InitCamera(width, height, 30.0f))
        return false;
    // A probe only: the camera is made again on every Play.
    m_sender.ShutdownCamera();
    m_statusLabel->setText(QStringLiteral("Ready."));
    return true;
}

std::wstring MainWindow::soundSource() const
{
    const bool wanted = m_sendSoundAction && m_sendSoundAction->isChecked() && m_isVideo;
    return wanted ? m_currentFile.toStdWString() : std::wstring();
}

void MainWindow::getSelectedResolution(int& width, int& height)
{
    const QStringList parts = m_resolutionCombo->currentText().trimmed().split(u'x', Qt::SkipEmptyParts);
    bool widthOk = false;
    bool heightOk = false;
    if (parts.size() == 2) {
        width = parts[0].trimmed().toInt(&widthOk);
        height = parts[1].trimmed().toInt(&heightOk);
    }
    if (widthOk && heightOk) {
        width = boundedSide(width);
        height = boundedSide(height);
        return;
    }
    width = 1280;
    height = 720;
    m_resolutionCombo->setEditText(QStringLiteral("1280x720"));
}
