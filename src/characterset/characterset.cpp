#include "characterset/characterset.h"

#include "characterset/profile.h"

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
    // One read of the file for all 56 entries: it is loaded at every activation of the window.
    const profile::Snapshot file = profile::Snapshot::load(path);
    QStringList keys;
    for (int slot = 0; slot < FirstUserSlot; ++slot)
        keys << predefinedKey(slot);
    const QStringList defaults(FirstUserSlot, DefaultPattern);
    const QList<QString> predefined
        = file.read(QStringLiteral("Znaky"), keys, defaults, PatternCapacity);
    std::copy(predefined.begin(), predefined.end(), patterns.begin());

    QStringList dataKeys, textKeys, textDefaults;
    for (int n = 1; n <= UserCharacterCount; ++n) {
        dataKeys << userDataKey(n);
        textKeys << userTextKey(n);
        textDefaults << userDefaultText(n);
    }
    const QList<QString> data = file.read(QStringLiteral("User"), dataKeys,
        QStringList(UserCharacterCount, DefaultPattern), PatternCapacity);
    std::copy(data.begin(), data.end(), patterns.begin() + FirstUserSlot);
    const QList<QString> texts
        = file.read(QStringLiteral("User"), textKeys, textDefaults, TextCapacity);
    for (int n = 1; n <= UserCharacterCount; ++n) {
        names[n - 1] = texts[n - 1];
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
