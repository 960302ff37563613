// The Czech texts made from what the line library says about the device behind each COM name:
// one table for the tooltips, the message details and anything else that tells it.
#pragma once

#include "effects/linelibrary.h"

#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>

// "ERROR 01": no port opens.
inline const QString NoPortText
    = QStringLiteral("Nelze otevřít žádný port. Program nebude odesílat data.");

// "/dev/ttyUSB0 · FT232R USB UART", or the device alone.
QString describePort(const PortInfo &port);

// Why the port can or cannot be used and what to do about it, in short lines joined by '\n'.
// `offered`: its option can still be picked; once a port failed, its option stays grey until
// the program starts again.
QString portStateText(const PortInfo &port, bool offered);

// "21 ms na znak".
QString timePerCharacterText(qint64 nanoseconds);

using PortReports = std::array<std::optional<PortInfo>, 5>;

// A line per COM name with its device and why it can or cannot be used. Empty when the module
// says nothing.
QString everyPortDetails(const PortReports &ports, const std::array<bool, 5> &offered);

// The details of "ERROR 01": a line per COM name with its device and reason, and that the
// preview works without the display. Empty when the module says nothing.
QString noPortDetails(const PortReports &ports, const std::array<bool, 5> &offered);

// The details of the open port's box: device, adapter, the last character's time on the line
// (negative: none sent yet) and, where the break is only simulated, what that means. Empty when
// the module says nothing.
QString openPortDetails(const std::optional<PortInfo> &port, qint64 lastCharacterNanoseconds);
