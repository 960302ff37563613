#include "ui/steadytimer.h"

#include <QSocketNotifier>
#include <QTimerEvent>

#ifdef Q_OS_LINUX
#include <sys/timerfd.h>
#include <unistd.h>
#endif

SteadyTimer::SteadyTimer(QObject *parent)
    : QTimer(parent)
{
    setTimerType(Qt::PreciseTimer);
#ifdef Q_OS_LINUX
    m_fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        m_notifier->setEnabled(false);
        connect(m_notifier, &QSocketNotifier::activated, this, &SteadyTimer::kernelTick);
    }
#endif
}

SteadyTimer::~SteadyTimer()
{
#ifdef Q_OS_LINUX
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

void SteadyTimer::start()
{
    QTimer::start();
    arm();
}

void SteadyTimer::stop()
{
    QTimer::stop();
    disarm();
}

void SteadyTimer::setInterval(int ms)
{
    QTimer::setInterval(ms); // restarts an active timer
    if (isActive())
        arm();
}

void SteadyTimer::arm()
{
#ifdef Q_OS_LINUX
    if (m_fd < 0)
        return;
    const long ns = long(interval()) * 1000000;
    itimerspec spec{};
    spec.it_interval = {ns / 1000000000, ns % 1000000000};
    spec.it_value = spec.it_interval;
    m_armed = timerfd_settime(m_fd, 0, &spec, nullptr) == 0;
    m_notifier->setEnabled(m_armed);
#endif
}

void SteadyTimer::disarm()
{
#ifdef Q_OS_LINUX
    if (!m_armed)
        return;
    itimerspec off{};
    timerfd_settime(m_fd, 0, &off, nullptr);
    m_notifier->setEnabled(false);
    m_armed = false;
#endif
}

void SteadyTimer::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != timerId() || isSingleShot()) {
        QTimer::timerEvent(event);
        return;
    }
    if (!m_armed) // no kernel timer here: the QTimer ticks
        tick();
}

void SteadyTimer::kernelTick()
{
#ifdef Q_OS_LINUX
    quint64 expirations = 0;
    // However many slots passed, one tick.
    if (::read(m_fd, &expirations, sizeof expirations) < 0)
        return;
#endif
    if (isActive())
        tick();
}

void SteadyTimer::tick()
{
    const auto now = std::chrono::steady_clock::now();
    const auto period = std::chrono::milliseconds(interval());
    if (now - m_lastTick < period / 2)
        return;
    m_lastTick = now;
    QTimerEvent own(timerId());
    QTimer::timerEvent(&own);
    // A tick longer than the interval (a slow line) finds the next slot already due, and ticks
    // back to back would starve the window's own timers (Qt runs them only when nothing else is
    // ready). The next tick comes one interval after this one ended.
    if (m_armed && std::chrono::steady_clock::now() - now >= period)
        arm();
}
