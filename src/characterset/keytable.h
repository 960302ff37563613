// The keys the text player gives a meaning of their own, shared with the key chart.
#pragma once

#include "characterset/characterset.h"

#include <QString>
#include <array>
#include <optional>

// The keys 1 ... 0 of the Czech layout without Shift: user characters 1 ... 10.
inline const std::array<QString, UserCharacterCount> UserCharacterKeys
    = {QStringLiteral("+"), QStringLiteral("ě"), QStringLiteral("š"), QStringLiteral("č"),
        QStringLiteral("ř"), QStringLiteral("ž"), QStringLiteral("ý"), QStringLiteral("á"),
        QStringLiteral("í"), QStringLiteral("é")};

struct FixedKey
{
    QString key;
    QString pattern;
    QString word; // as the key chart names it
    QString picture; // the key chart's miniature digit
};

inline const std::array<FixedKey, 3> FixedKeys = {{
    {QStringLiteral(","), QStringLiteral("00100000"), QStringLiteral("čárka"),
        QStringLiteral(":/pictures/mini-c.svg")},
    {QStringLiteral("-"), QStringLiteral("00000010"), QStringLiteral("pomlčka"),
        QStringLiteral(":/pictures/mini-g.svg")},
    {QStringLiteral("_"), QStringLiteral("00010000"), QStringLiteral("podtržítko"),
        QStringLiteral(":/pictures/mini-d.svg")},
}};

// 1 ... 10 when the text is one of the user-character keys, else 0.
int userCharacterNumber(const QString &text);

// The pattern a played character gives, from its lower-case form; nothing for a character
// that re-sends the previous pattern.
std::optional<QString> playedPattern(
    const QString &lowerCase, const std::array<QString, CharacterSlotCount> &patterns);
