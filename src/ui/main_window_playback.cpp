// Playback: loading media and its preview, starting, pausing and stopping
// the stream, the status timer and the seek slider's handlers.
#include "ui/main_window.h"

#include <QDragEnterEvent>
#include <QDropEvent>

void MainWindow::onOpenFile()
{
}

void MainWindow::onPlayPause()
{
}

void MainWindow::onStop()
{
}

void MainWindow::unloadMedia()
{
}

void MainWindow::onTimerTick()
{
}

void MainWindow::onPlaybackFinished()
{
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    QMainWindow::dragEnterEvent(event);
}

void MainWindow::dropEvent(QDropEvent* event)
{
    QMainWindow::dropEvent(event);
}

void MainWindow::loadFile(const QString&)
{
}

bool MainWindow::isVideoFile(const QString&)
{
    return false;
}

void MainWindow::showPreview()
{
}

bool MainWindow::initCamera()
{
    // The start-up probe: the library loads and makes a camera.
    if (!m_sender.InitCamera(640, 480, 30.0f))
        return false;
    m_sender.ShutdownCamera();
    return true;
}

void MainWindow::getSelectedResolution(int&, int&)
{
}

void MainWindow::onSeekReleased()
{
}

void MainWindow::onSeekValueChanged(int)
{
}
