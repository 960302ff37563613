// What `pravlon ports` prints: one line per COM name with the device, the adapter and whether
// the port can be used, and why not.
#pragma once

#include "effects/linelibrary.h"

#include <QString>
#include <functional>
#include <optional>

namespace command {

// Why the port can or cannot be used and what to do about it, on one line. `offered`: its option
// can still be picked (without a window, every port is, as at a new start).
QString portReason(const PortInfo &info, bool offered);

// "COM1 TAB device TAB adapter TAB reason TAB state word", "-" for what is not known. The state
// word is the line library's, for scripts; fields are only ever added at the end.
QString portLine(int n, const PortInfo &info, bool offered);

// All five lines. Where the line library cannot describe a port, `instead` says what is known
// (whether it opened).
QString portList(LineLibrary &lines, const std::function<bool(int n)> &offered,
    const std::function<PortInfo(int n)> &instead);

enum class PlayState { Stopped, Playing, Paused };

// What `pravlon status` prints: a line each for the window, its port, the pattern on show and the
// play, in Czech, each followed by a tab and fixed words for scripts. An empty state or pattern
// is not known.
QString statusText(
    bool window, const QString &port, const QString &state, const QString &pattern, PlayState play);

// What stands in for the line library's description: only whether the port can be opened.
PortInfo portKnownOnly(bool opens, bool open = false);

} // namespace command
