#include "ui/steadytimer.h"

#include <QTimerEvent>

void SteadyTimer::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == timerId() && !isSingleShot()) {
        const auto now = std::chrono::steady_clock::now();
        if (now - m_lastTick < std::chrono::microseconds(interval()) * 500)
            return;
        m_lastTick = now;
    }
    QTimer::timerEvent(event);
}
