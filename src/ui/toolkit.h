// The toolkit's own plumbing, shared by its files and used by no window: the compiled-in
// pictures and font, the pictures drawn once per size, the screen readers' view of the controls,
// and the keys and clicks every control answers alike.
#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

class QAccessibleInterface;
class QKeyEvent;
class QMouseEvent;
class QObject;
class QWidget;

// Registers the pictures, the font and the screen readers' view of the controls, at the first
// call.
void ensureToolkit();

// A compiled-in picture rendered at the given size and screen scale, kept for the next paint.
const QPixmap &pixmapFor(const QString &resource, QSize size, qreal ratio);

// A left click released inside the widget.
bool releasedInside(QWidget *w, QMouseEvent *e);

// Enter (either key, no modifier; the keypad's own carries the keypad modifier) presses what
// takes the focus, as Space does.
bool isEnter(const QKeyEvent *e);

// The screen readers' view of the toolkit's controls.
QAccessibleInterface *accessibleFor(const QString &className, QObject *object);
