#include "command/commands.h"

namespace command {

QStringList commandNames()
{
    QStringList names;
    for (const Command &c : Commands) {
        if (!names.contains(QLatin1String(c.name)))
            names << QLatin1String(c.name);
    }
    return names;
}

QString usageOf(const QString &name)
{
    QStringList usages;
    for (const Command &c : Commands) {
        if (name == QLatin1String(c.name))
            usages << QStringLiteral("pravlon ") + QLatin1String(c.usage);
    }
    return usages.join(QStringLiteral(" nebo "));
}

} // namespace command
