#include "ui/framepacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <algorithm>

FramePacer::FramePacer(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    m_later.setSingleShot(true);
    m_later.setTimerType(Qt::PreciseTimer);
    // Qt sends no new request while one it sent is unanswered, so the held one is sent again.
    connect(&m_later, &QTimer::timeout, this, [this] {
        QCoreApplication::postEvent(
            m_window, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
    });
    window->installEventFilter(this);
}

std::chrono::nanoseconds FramePacer::frameInterval() const
{
    const QScreen *screen = m_window->screen();
    const qreal hz = std::clamp<qreal>(screen ? screen->refreshRate() : 60, 30, 240);
    return std::chrono::nanoseconds(qint64(1e9 / hz));
}

bool FramePacer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window || event->type() != QEvent::UpdateRequest)
        return false;
    const auto now = std::chrono::steady_clock::now();
    const auto wait = m_lastFrame + frameInterval() - now;
    if (wait <= std::chrono::nanoseconds::zero()) {
        m_lastFrame = now;
        m_later.stop();
        return false;
    }
    if (!m_later.isActive())
        m_later.start(std::chrono::ceil<std::chrono::milliseconds>(wait));
    return true;
}
