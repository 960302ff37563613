#include "portmap.h"

#include <algorithm>
#include <cstring>

namespace rscom {

int comNumberFromSettings(const char *settings)
{
    if (!settings)
        return 0;
    static const char *const texts[ComCount] = {"COM1,1200,N,8,1", "COM2,1200,N,8,1",
        "COM3,1200,N,8,1", "COM4,1200,N,8,1", "COM5,1200,N,8,1"};
    for (int n = 0; n < ComCount; ++n) {
        if (std::strcmp(settings, texts[n]) == 0)
            return n + 1;
    }
    return 0;
}

QStringList consoleNames(const QByteArray &activeConsoles)
{
    QStringList names;
    for (const QByteArray &word : activeConsoles.simplified().split(' ')) {
        if (!word.isEmpty())
            names << QString::fromLatin1(word);
    }
    return names;
}

namespace {

// "ttyUSB12" with prefix "ttyUSB" gives 12; -1 when the rest is not a plain number.
int numberAfter(const QString &name, const QString &prefix)
{
    if (!name.startsWith(prefix) || name.size() == prefix.size())
        return -1;
    bool ok = false;
    const int n = name.mid(prefix.size()).toInt(&ok);
    return ok && n >= 0 && name.mid(prefix.size()).front().isDigit() ? n : -1;
}

} // namespace

std::array<QString, ComCount> mapComPorts(
    const QList<PortEntry> &ports, const QStringList &consoles, PortNaming naming)
{
    std::array<QString, ComCount> map;
    QList<PortEntry> usable;
    for (const PortEntry &p : ports) {
        if (!consoles.contains(p.portName))
            usable << p;
    }

    if (naming == PortNaming::Windows) {
        for (const PortEntry &p : usable) {
            const int n = numberAfter(p.portName.toUpper(), QStringLiteral("COM"));
            if (n >= 1 && n <= ComCount && map[n - 1].isEmpty())
                map[n - 1] = p.systemLocation;
        }
        return map;
    }

    struct Ranked
    {
        int group;
        int number;
        QString name;
        QString location;
    };
    QList<Ranked> ranked;
    for (const PortEntry &p : usable) {
        if (naming == PortNaming::MacOS) {
            if (p.portName.startsWith(QLatin1String("cu.")))
                ranked.append({0, 0, p.portName, p.systemLocation});
            continue;
        }
        static const char *const prefixes[] = {"ttyS", "ttyUSB", "ttyACM"};
        for (int g = 0; g < 3; ++g) {
            const int n = numberAfter(p.portName, QString::fromLatin1(prefixes[g]));
            if (n >= 0) {
                ranked.append({g, n, p.portName, p.systemLocation});
                break;
            }
        }
    }
    std::sort(ranked.begin(), ranked.end(), [](const Ranked &a, const Ranked &b) {
        if (a.group != b.group)
            return a.group < b.group;
        if (a.number != b.number)
            return a.number < b.number;
        return a.name < b.name;
    });
    for (int i = 0; i < ComCount && i < ranked.size(); ++i)
        map[i] = ranked[i].location;
    return map;
}

} // namespace rscom
