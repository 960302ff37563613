#include "sources/characterset.h"

#include "sources/profile.h"

std::array<QString, CharacterSlotCount> CharacterPatterns;
QString DataFilePath;

namespace characterset {

namespace {
constexpr int PatternCapacity = 9;
constexpr int TextCapacity = 10;
} // namespace

QString predefinedKey(int slot)
{
    if (slot < FirstLetterSlot)
        return QString(QChar(u'0' + slot));
    return QString(QChar(u'A' + slot - FirstLetterSlot));
}

QString userDataKey(int n)
{
    return QStringLiteral("B%1Data").arg(n);
}

QString userTextKey(int n)
{
    return QStringLiteral("B%1Text").arg(n);
}

QString userDefaultText(int n)
{
    return QStringLiteral("[%1]").arg(n);
}

void load(const QString &path, std::array<QString, CharacterSlotCount> &patterns,
    std::array<QString, UserCharacterCount> &names,
    const std::function<void(int n, const QString &text)> &nameRead)
{
    for (QString &slot : patterns)
        slot.clear();
    for (QString &name : names)
        name.clear();
    for (int slot = 0; slot < FirstUserSlot; ++slot) {
        patterns[slot] = profile::read(
            QStringLiteral("Znaky"), predefinedKey(slot), DefaultPattern, PatternCapacity, path);
    }
    for (int n = 1; n <= UserCharacterCount; ++n) {
        patterns[FirstUserSlot + n - 1] = profile::read(
            QStringLiteral("User"), userDataKey(n), DefaultPattern, PatternCapacity, path);
    }
    for (int n = 1; n <= UserCharacterCount; ++n) {
        names[n - 1] = profile::read(
            QStringLiteral("User"), userTextKey(n), userDefaultText(n), TextCapacity, path);
        if (nameRead)
            nameRead(n, names[n - 1]);
    }
}

QString readVersion(const QString &path)
{
    return profile::read(
        QStringLiteral("Init"), QStringLiteral("VKTVerze"), QStringLiteral("CHYBA"), 10, path);
}

} // namespace characterset
