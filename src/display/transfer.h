// Clocking one segment pattern into the display's shift register.
#pragma once

#include "effects/linelibrary.h"

#include <QString>

inline constexpr int PatternLength = 8;
inline const QString BlankPattern = QStringLiteral("00000000");

// Sends characters 8 ... 1 of the pattern, each as DTR 1, TXD bit, DTR 0. Stops at the first
// position that holds no digit or at a failing line operation, and then returns false.
bool transferPattern(LineLibrary &lines, const QString &pattern);
