// The program's look: its colours, whatever the desktop's theme, its font, its icon, and the
// ring that shows the keyboard focus.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QString>

class QWidget;

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
