#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>

class QWidget;

// Paints a window at most once per refresh of its screen. The player and the generator can
// change the window a thousand times a second; a screen shows sixty of them, and painting and
// flushing the rest cost most of each tick. The widgets still change at every tick: only the
// frame that shows them waits, at most one refresh, and the last change is always painted.
class FramePacer : public QObject
{
public:
    explicit FramePacer(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::chrono::nanoseconds frameInterval() const;

    QWidget *m_window;
    QTimer m_later;
    std::chrono::steady_clock::time_point m_lastFrame;
};
