// Labels and buttons with a name and a place, and the windows of which only one is open.
#pragma once

#include <QColor>
#include <QPointer>
#include <QRect>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

// A label with a name, a rectangle and its text, shown as plain text; in the colour where given.
QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, const QRect &rect,
    const QColor &color = QColor());

// A push button with a name, a rectangle, its caption and, where given, its tooltip.
QPushButton *makeButton(QWidget *parent, const QString &name, const QString &text,
    const QRect &rect, const QString &toolTip = QString());

// The one window of its kind: made at the first call, then shown, raised and given the focus.
template <class Window> Window *showSingle(QPointer<Window> &window)
{
    if (!window)
        window = new Window;
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
