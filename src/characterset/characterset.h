// The character set: the 46 patterns of the digits, letters and user characters and the names
// of the ten user characters, loaded from Data.ini in the program's directory.
#pragma once

#include <QString>
#include <array>
#include <functional>

inline constexpr int CharacterSlotCount = 46;
inline constexpr int FirstLetterSlot = 10;
inline constexpr int FirstUserSlot = 36;
inline constexpr int UserCharacterCount = 10;

inline const QString DataFileName = QStringLiteral("Data.ini");
// The read default of every missing pattern: segments a, d and g.
inline const QString DefaultPattern = QStringLiteral("10010010");
// What a reset of the user characters stores: segments a and d.
inline const QString ResetPattern = QStringLiteral("10010000");

// Program-wide table: slots 0-9 digits, 10-35 letters A-Z, 36-45 user characters 1-10.
// Each holds the value as read, at most 8 characters, unvalidated.
extern std::array<QString, CharacterSlotCount> CharacterPatterns;
// Full path of the character-set file; set once at start-up.
extern QString DataFilePath;

namespace characterset {

// "Znaky" key of slot 0 ... 35: "0" ... "9", "A" ... "Z".
QString predefinedKey(int slot);
QString userDataKey(int n); // "B1Data" ... "B10Data", n = 1 ... 10
QString userTextKey(int n); // "B1Text" ... "B10Text"
QString userDefaultText(int n); // "[1]" ... "[10]"

// Fills the table and the ten names from the file at path. nameRead(n, text) is called right
// after the n-th name is read, before the next one.
void load(const QString &path, std::array<QString, CharacterSlotCount> &patterns,
    std::array<QString, UserCharacterCount> &names,
    const std::function<void(int n, const QString &text)> &nameRead);

// The version entry shown by the About window: "CHYBA" when missing.
QString readVersion(const QString &path);

} // namespace characterset
