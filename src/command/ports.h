// What `pravlon ports` prints: one line per COM name with the device, the adapter and whether
// the port can be used, and why not.
#pragma once

#include "effects/linelibrary.h"

#include <QString>
#include <functional>
#include <optional>

namespace command {

// Why a port can or cannot be used, as the line library tells it.
QString portReason(const PortInfo &info);

// "COM1 TAB device TAB adapter TAB reason", "-" for what is not known.
QString portLine(int n, const PortInfo &info);

// All five lines. Where the line library cannot describe a port, `instead` says what is known
// (whether it opened).
QString portList(LineLibrary &lines, const std::function<PortInfo(int n)> &instead);

// What stands in for the line library's description: only whether the port can be opened.
PortInfo portKnownOnly(bool opens, bool open = false);

} // namespace command
