#include "command/ports.h"

#include "display/portdetails.h"
#include "display/portselection.h"

namespace command {

QString portReason(const PortInfo &info, bool offered)
{
    return portStateText(info, offered).replace(u'\n', u' ');
}

QString portLine(int n, const PortInfo &info, bool offered)
{
    const auto known
        = [](const QString &text) { return text.isEmpty() ? QStringLiteral("-") : text; };
    return PortSelection::portName(n) + u'\t' + known(info.device) + u'\t' + known(info.adapter)
        + u'\t' + portReason(info, offered);
}

QString portList(LineLibrary &lines, const std::function<bool(int n)> &offered,
    const std::function<PortInfo(int n)> &instead)
{
    QString list;
    for (int n = 1; n <= PortSelection::Count; ++n) {
        // Asked only where the library has nothing to say: it may have to open the port.
        const std::optional<PortInfo> info = lines.portInfo(n);
        list += portLine(n, info ? *info : instead(n), offered(n)) + u'\n';
    }
    return list;
}

PortInfo portKnownOnly(bool opens, bool open)
{
    PortInfo info;
    info.state = open ? PortInfo::State::Open
        : opens       ? PortInfo::State::Ready
                      : PortInfo::State::Error;
    return info;
}

} // namespace command
