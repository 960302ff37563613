#include "command/ports.h"

#include "display/portdetails.h"
#include "display/portselection.h"

#include <utility>

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
        + u'\t' + portReason(info, offered) + u'\t' + PortInfo::word(info.state);
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

QString statusText(
    bool window, const QString &port, const QString &state, const QString &pattern, PlayState play)
{
    const QString unknown = QStringLiteral("neznámý");
    const auto fixed
        = [](const QString &word) { return word.isEmpty() ? QStringLiteral("unknown") : word; };
    const auto [playing, playWord] = play == PlayState::Playing
        ? std::pair(QStringLiteral("hraje"), QStringLiteral("playing"))
        : play == PlayState::Paused
        ? std::pair(QStringLiteral("pozastaveno"), QStringLiteral("paused"))
        : std::pair(QStringLiteral("zastaveno"), QStringLiteral("stopped"));
    return QStringLiteral("okno: %1\t%2\nport: %3\t%4\t%5\nvzor: %6\t%7\npřehrávání: %8\t%9\n")
        .arg(window ? QStringLiteral("běží") : QStringLiteral("neběží"),
            window ? QStringLiteral("running") : QStringLiteral("none"), port,
            port == unknown ? QStringLiteral("unknown") : port, fixed(state),
            pattern.isEmpty() ? unknown : pattern, fixed(pattern), playing, playWord);
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
