// Text that comes from outside the program (a device's product string, a driver's message, a
// path) as it may be shown in a terminal, a tooltip or a box: a device could otherwise retitle
// the terminal, ring its bell or print lines of its own.
#pragma once

#include <QString>
#include <QStringView>

// At most this many characters of outside text are shown; the rest is "…".
inline constexpr qsizetype OutsideTextLength = 120;

// One line of plain text: tabs and line breaks become spaces; other control and formatting
// characters (escape, bell, NUL, direction overrides) become U+FFFD; a longer
// text is cut to `length` characters, the last of them "…".
QString cleanOutsideText(QStringView text, qsizetype length = OutsideTextLength);
