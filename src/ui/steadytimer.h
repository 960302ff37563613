#pragma once

#include <QTimer>
#include <chrono>

class QSocketNotifier;

// A precise timer whose ticks keep the interval. Qt rounds every wait up to a whole
// millisecond, so at 1 ms a tick comes late and its successor either later still or at once
// (a catch-up burst). On Linux the ticks come from a kernel interval timer instead, which wakes
// on time; the QTimer underneath still runs, so that it is active and has its interval exactly
// as a QTimer would, and ticks by itself where there is no such timer. Either way a slot less
// than half an interval after the tick before is let pass, and a tick longer than the interval
// (a slow line) is followed by one tick, never a pile of them. Started, stopped and set through
// this class, not through QTimer, whose functions for that are not virtual.
class SteadyTimer : public QTimer
{
    Q_OBJECT
public:
    explicit SteadyTimer(QObject *parent = nullptr);
    ~SteadyTimer() override;

    void start();
    void stop();
    void setInterval(int ms);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void arm();
    void disarm();
    void kernelTick();
    void tick();

    std::chrono::steady_clock::time_point m_lastTick;
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    bool m_armed = false;
};
