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

// "COM1 TAB device TAB adapter TAB reason", "-" for what is not known.
QString portLine(int n, const PortInfo &info, bool offered);

// All five lines. Where the line library cannot describe a port, `instead` says what is known
// (whether it opened).
QString portList(LineLibrary &lines, const std::function<bool(int n)> &offered,
    const std::function<PortInfo(int n)> &instead);

// What stands in for the line library's description: only whether the port can be opened.
PortInfo portKnownOnly(bool opens, bool open = false);

} // namespace command
