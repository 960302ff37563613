#include "command/ports.h"

#include "display/portselection.h"

namespace command {

QString portReason(const PortInfo &info)
{
    const QString word = PortInfo::word(info.state);
    return info.detail.isEmpty() ? word : word + QStringLiteral(": ") + info.detail;
}

QString portLine(int n, const PortInfo &info)
{
    const auto known
        = [](const QString &text) { return text.isEmpty() ? QStringLiteral("-") : text; };
    return PortSelection::portName(n) + u'\t' + known(info.device) + u'\t' + known(info.adapter)
        + u'\t' + portReason(info);
}

QString portList(LineLibrary &lines, const std::function<PortInfo(int n)> &instead)
{
    QString list;
    for (int n = 1; n <= PortSelection::Count; ++n) {
        // Asked only where the library has nothing to say: it may have to open the port.
        const std::optional<PortInfo> info = lines.portInfo(n);
        list += portLine(n, info ? *info : instead(n)) + u'\n';
    }
    return list;
}

PortInfo portKnownOnly(bool opens, bool open)
{
    PortInfo info;
    info.state = open ? PortInfo::State::Open
        : opens       ? PortInfo::State::Ready
                      : PortInfo::State::Error;
    if (!opens)
        info.detail = QStringLiteral("nelze otevřít");
    return info;
}

} // namespace command
