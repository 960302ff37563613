// What every window is built from: the colours, fonts and factories of labels and buttons, and
// the small controls the toolkit lacks (pictures drawn from SVG, transparent hot spots, rectangle
// shapes, lines, clickable labels).
#pragma once

#include <QColor>
#include <QIcon>
#include <QLabel>
#include <QWidget>

class QPushButton;

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

    QColor border() const { return m_border; }
    QColor fill() const { return m_fill; }

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
// A push button with a name, a rectangle, its caption and, where given, its tooltip.
QPushButton *makeButton(QWidget *parent, const QString &name, const QString &text,
    const QRect &rect, const QString &toolTip = QString());
