#pragma once

#include <QTimer>
#include <chrono>

// A precise timer that keeps its fixed schedule but never bursts. Qt's precise timer catches
// up after a late tick by firing the next one at once, so the time between two ticks can
// shrink to nearly nothing; this one lets a slot pass instead when it comes less than half an
// interval after the tick before. A tick that takes longer than the interval (a slow line) is
// followed by the next one, not by a pile of them.
class SteadyTimer : public QTimer
{
    Q_OBJECT
public:
    using QTimer::QTimer;

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    std::chrono::steady_clock::time_point m_lastTick;
};
