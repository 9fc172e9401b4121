// The seek slider: its press, release and value handlers, and the pending
// seek that holds it on a target until the camera thread gets there.
#include "ui/main_window.h"

#include "ui/clickable_slider.h"

#include <QEvent>
#include <QLabel>
#include <QSignalBlocker>

#include <algorithm>

namespace {

// Two seconds of 200 ms status ticks: a target the camera thread has not
// reached by then (a picture stream that ends before the container's
// duration) is given up, so the slider cannot freeze.
constexpr int kPendingSeekTicks = 10;

// Thousandths of `duration`, clamped as a double before the cast: a tiny
// duration gives values past int's range, NaN gives 0.
int sliderValueAt(double seconds, double duration)
{
    const double value = seconds / duration * 1000.0;
    return value > 0.0 ? static_cast<int>(std::min(value, 1000.0)) : 0;
}

QString timeText(double seconds, double duration)
{
    return QStringLiteral("%1 / %2").arg(formatTime(seconds), formatTime(duration));
}

} // namespace

double MainWindow::knownDuration() const
{
    if (m_duration > 0.0)
        return m_duration;
    // A stopped sender's figures belong to a stream that is gone.
    const double streamed = m_sender.m_videoDuration;
    return m_sender.m_running && streamed > 0.0 ? streamed : 0.0;
}

void MainWindow::onSeekReleased()
{
    m_sliderDragging = false;
    const double duration = knownDuration();
    if (duration > 0.0)
        requestSeek(m_seekSlider->value() / 1000.0 * duration);
}

void MainWindow::requestSeek(double seconds)
{
    m_pendingSeek = seconds;
    m_pendingSeekTicks = 0;
    if (m_sender.m_running)
        m_sender.SeekTo(seconds);
}

void MainWindow::onSeekValueChanged(int value)
{
    const double duration = knownDuration();
    // While streaming the status tick owns the label, except during a drag.
    if (duration <= 0.0 || (!m_sliderDragging && m_sender.m_running))
        return;
    m_timeLabel->setText(timeText(value / 1000.0 * duration, duration));
}

void MainWindow::followPlayback(double position, double duration, bool paused)
{
    if (!m_sliderDragging) {
        if (m_pendingSeek >= 0.0 && !paused)
            ++m_pendingSeekTicks;
        // Paused, the camera thread shows the frame at the target and stays
        // there: the target is what the user sees, before it lands and after.
        const bool waiting = position < m_pendingSeek - 0.5 && m_pendingSeekTicks < kPendingSeekTicks;
        if (m_pendingSeek >= 0.0 && (paused || waiting)) {
            m_seekSlider->setValue(sliderValueAt(m_pendingSeek, duration));
        } else {
            m_pendingSeek = -1.0;
            m_seekSlider->setValue(sliderValueAt(position, duration));
        }
    }
    m_timeLabel->setText(timeText(m_pendingSeek >= 0.0 ? m_pendingSeek : position, duration));
}

void MainWindow::endCutOffDrag(QEvent* event)
{
    // A hidden (the window too) or disabled slider gets no release: without
    // this the ticks would never move it again.
    if (event->type() == QEvent::Hide || (event->type() == QEvent::EnabledChange && !m_seekSlider->isEnabled())) {
        m_sliderDragging = false;
        // Up again, so that the next press reports itself; a drag cut off seeks nowhere.
        const QSignalBlocker quiet(m_seekSlider);
        m_seekSlider->setSliderDown(false);
    }
}
