// What every window is built from: the colours, fonts and factories of labels and buttons, and
// the small controls the toolkit lacks (pictures drawn from SVG, transparent hot spots, rectangle
// shapes, lines, clickable labels).
#pragma once

#include <QColor>
#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QWidget>

class QPushButton;
class QScrollBar;

// The letters of segments 1 ... 8, a ... h, which name the pictures and overlays.
inline constexpr char SegmentLetters[] = "abcdefgh";

namespace colors {
inline const QColor DarkRed(89, 0, 0);
inline const QColor Red(255, 0, 0);
inline const QColor Maroon(128, 0, 0);
inline const QColor LightGrey(224, 224, 224);
inline const QColor LightRed(255, 128, 128);
} // namespace colors

// Adds the minimise button to a fixed-size window.
void EnableMinimizeBox(QWidget *window);

// The program's icon, for every window's title bar.
QIcon programIcon();

// Sets a widget's background (filled).
void paintBackground(QWidget *w, const QColor &background);
// Sets a button's face colour.
void paintButtonFace(QWidget *w, const QColor &face);
// Sets a widget's text colour; disabled, the text is drawn dimmed.
void setTextColor(QWidget *w, const QColor &text);

// The windows' font. The layout was drawn for a small dialog font; a condensed face at this
// size keeps every caption inside its control.
QFont windowFont();
// The font in bold, at the given size in points where one is given.
QFont boldFont(QFont font, qreal points = 0);

// A picture from a compiled-in SVG, drawn at the widget's size, crisp at any screen scale.
// Receives no mouse input unless made clickable.
class SvgPicture : public QWidget
{
    Q_OBJECT
public:
    SvgPicture(QString resource, QWidget *parent, const QString &name);

    QString resource() const { return m_resource; }
    void setResource(const QString &resource);
    void setClickable(bool clickable);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    QString m_resource;
};

// An unlit digit with lit segments laid over it: the picture <prefix>-digit.svg, and one
// overlay <prefix>-a.svg ... per segment, shown while its segment is lit. The digit carries
// the given name; the overlays are named by overlayName with the segment's capital letter (%1).
class DigitPreview : public SvgPicture
{
    Q_OBJECT
public:
    DigitPreview(const QString &prefix, int segments, QWidget *parent, const QString &name,
        const QString &overlayName);

    // Lights segment k (0-based) for each "1" of the pattern, darkens it for anything else.
    void setPattern(const QString &pattern);
    bool isLit(int k) const;
    void setLit(int k, bool lit);

protected:
    void resizeEvent(QResizeEvent *) override;

private:
    QList<SvgPicture *> m_overlays;
};

// A transparent area that takes clicks.
class HotSpot : public QWidget
{
    Q_OBJECT
public:
    HotSpot(QWidget *parent, const QString &name);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *e) override;
};

// A rectangle: outline, optionally filled.
class ShapeWidget : public QWidget
{
    Q_OBJECT
public:
    ShapeWidget(QWidget *parent, const QString &name, const QColor &border,
        const QColor &fill = Qt::transparent);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QColor m_border;
    QColor m_fill;
};

// A straight horizontal or vertical line between two points of its parent.
class LineWidget : public QWidget
{
    Q_OBJECT
public:
    LineWidget(QWidget *parent, const QString &name, QPoint from, QPoint to, int width,
        const QColor &color);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QColor m_color;
};

// A label that reports clicks; plain text.
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    ClickLabel(const QString &text, QWidget *parent, const QString &name);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *e) override;
};

// A label with a name, a rectangle and its text, shown as plain text; in the colour where given.
QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, const QRect &rect,
    const QColor &color = QColor());
// A speed slider: a scroll bar with a name, a rectangle, its range and first value, moving by
// one at every step.
QScrollBar *makeSlider(QWidget *parent, const QString &name, Qt::Orientation orientation,
    const QRect &rect, int minimum, int maximum, int value);

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

// A push button with a name, a rectangle, its caption and, where given, its tooltip.
QPushButton *makeButton(QWidget *parent, const QString &name, const QString &text,
    const QRect &rect, const QString &toolTip = QString());
