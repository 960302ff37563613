// What every window is built from: the colours, fonts and factories of labels and buttons, and
// the small controls the toolkit lacks (pictures drawn from SVG, pictures that act as buttons,
// transparent hot spots, rectangle shapes, lines, clickable labels, speed sliders), each usable
// from the keyboard and named for screen readers.
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QWidget>
#include <functional>

class QPushButton;

// The letters of segments 1 ... 8, a ... h, which name the pictures and overlays.
inline constexpr char SegmentLetters[] = "abcdefgh";

namespace colors {
inline const QColor DarkRed(89, 0, 0);
inline const QColor Red(255, 0, 0);
inline const QColor Maroon(128, 0, 0);
inline const QColor LightGrey(224, 224, 224);
inline const QColor LightRed(255, 128, 128);
// The system colours the windows name, in their classic light shades: the same on every desktop
// theme, so that the colours given beside them (black text, black lines) always stand out.
inline const QColor Face(240, 240, 240); // windows, buttons, frames
inline const QColor ButtonShadow(160, 160, 160);
inline const QColor AppWorkspace(171, 171, 171);
} // namespace colors

// The contrast ratio of two colours, 1 ... 21, as the accessibility guidelines define it.
double contrastRatio(const QColor &a, const QColor &b);

// Gives a window the program's own colours, whatever the desktop's theme, and a ring that shows
// which of its controls has the keyboard focus.
void useProgramLook(QWidget *window);

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
// size keeps every caption inside its control. The face is compiled in, so no installed font
// decides whether a caption fits.
QFont windowFont();
inline const QString WindowFontFamily = QStringLiteral("DejaVu Sans Condensed");
// The font in bold, at the given size in points where one is given.
QFont boldFont(QFont font, qreal points = 0);

// A picture from a compiled-in SVG, drawn at the widget's size, crisp at any screen scale.
// Receives no mouse input; a screen reader reads its accessible name.
class SvgPicture : public QWidget
{
    Q_OBJECT
public:
    SvgPicture(QString resource, QWidget *parent, const QString &name);

    QString resource() const { return m_resource; }
    void setResource(const QString &resource);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QString m_resource;
};

// A picture that acts as a button: it takes the focus, answers Space and Enter as a click, and
// looks pressed while it is held down.
class PictureButton : public QAbstractButton
{
    Q_OBJECT
public:
    PictureButton(
        QString resource, QWidget *parent, const QString &name, const QString &accessibleName);

    QString resource() const { return m_resource; }
    void setResource(const QString &resource);

protected:
    void paintEvent(QPaintEvent *) override;
    void keyPressEvent(QKeyEvent *e) override;

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
    // "1" for every lit segment, "0" for every dark one: what a screen reader reads as its value.
    QString pattern() const;

protected:
    void resizeEvent(QResizeEvent *) override;

private:
    QList<SvgPicture *> m_overlays;
};

// A transparent area that switches something on and off: a checkable button that takes the
// focus, answers Space and Enter, and lights up faintly while it is held down.
class HotSpot : public QAbstractButton
{
    Q_OBJECT
public:
    HotSpot(QWidget *parent, const QString &name, const QString &accessibleName);

protected:
    void paintEvent(QPaintEvent *) override;
    void keyPressEvent(QKeyEvent *e) override;
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

// A label that acts as a link: it reports clicks, takes the focus and answers Space and Enter;
// plain text.
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    ClickLabel(const QString &text, QWidget *parent, const QString &name);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
};

// A speed slider: a standard scroll bar that takes the focus. The arrows move it by one,
// Page Up and Page Down by a hundred, Home and End to its ends; a screen reader reads its value
// as the period in milliseconds it stands for.
class SpeedSlider : public QScrollBar
{
    Q_OBJECT
public:
    static constexpr int KeyboardPage = 100;

    // periodFromMaximum: the period is maximum + 1 - value (the thumb towards the maximum is
    // faster); otherwise it is the value itself.
    SpeedSlider(Qt::Orientation orientation, bool periodFromMaximum, QWidget *parent);

    int periodOf(int value) const;
    int valueOf(int period) const { return periodOf(period); }

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    bool m_periodFromMaximum;
};

// A label with a name, a rectangle and its text, shown as plain text; in the colour where given.
QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, const QRect &rect,
    const QColor &color = QColor());
// A speed slider with a name, a rectangle, its range and first value, moving by one at every
// step of the mouse; accessibleName says what it sets.
SpeedSlider *makeSlider(QWidget *parent, const QString &name, Qt::Orientation orientation,
    const QRect &rect, int minimum, int maximum, int value, bool periodFromMaximum,
    const QString &accessibleName);

// Calls typed(c) for each character c typed while the page is in sight and no text field has the
// focus, wherever else in the page's window the focus is; a key typed() takes goes no further.
void handleTypedKeys(QWidget *page, std::function<bool(QChar)> typed);

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
