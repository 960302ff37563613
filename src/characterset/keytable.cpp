#include "characterset/keytable.h"

#include "display/transfer.h"

int userCharacterNumber(const QString &text)
{
    for (int n = 1; n <= UserCharacterCount; ++n) {
        if (text == UserCharacterKeys[n - 1])
            return n;
    }
    return 0;
}

std::optional<QString> playedPattern(
    const QString &lowerCase, const std::array<QString, CharacterSlotCount> &patterns)
{
    if (lowerCase.size() == 1) {
        const char16_t c = lowerCase[0].unicode();
        if (c >= u'0' && c <= u'9')
            return patterns[c - u'0'];
        if (c >= u'a' && c <= u'z')
            return patterns[FirstLetterSlot + c - u'a'];
        if (c == u' ')
            return BlankPattern;
    }
    if (const int n = userCharacterNumber(lowerCase))
        return patterns[FirstUserSlot + n - 1];
    for (const FixedKey &fixed : FixedKeys) {
        if (lowerCase == fixed.key)
            return fixed.pattern;
    }
    return std::nullopt;
}
