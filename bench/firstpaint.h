// For the start-up benchmark's children: once the first top-level window has painted its first
// frame, prints the monotonic clock in milliseconds and the peak resident memory in MB, and
// ends the program.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <sys/resource.h>
#include <time.h>

class FirstPaint : public QObject
{
public:
    FirstPaint() { qApp->installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *e) override
    {
        auto *w = qobject_cast<QWidget *>(watched);
        if (e->type() == QEvent::Paint && w && w->isWindow() && !m_painted) {
            m_painted = true;
            // Queued: the frame is finished and handed to the display after this paint.
            QTimer::singleShot(0, qApp, [] {
                timespec now{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                rusage usage{};
                getrusage(RUSAGE_SELF, &usage);
                std::printf(
                    "%.3f %.1f\n", now.tv_sec * 1e3 + now.tv_nsec / 1e6, usage.ru_maxrss / 1024.0);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool m_painted = false;
};
