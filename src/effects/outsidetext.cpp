#include "effects/outsidetext.h"

#include <QList>
#include <algorithm>

QString cleanOutsideText(QStringView text, qsizetype length)
{
    QList<char32_t> characters;
    // Broken UTF-16 arrives as U+FFFD.
    for (const char32_t c : text.toUcs4()) {
        switch (QChar::category(c)) {
        case QChar::Other_Control:
            characters << (c == '\t' || c == '\n' || c == '\r' ? U' ' : U'\uFFFD');
            break;
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            characters << U' ';
            break;
        case QChar::Other_Format:
            characters << U'\uFFFD';
            break;
        default:
            characters << c;
        }
    }
    if (characters.size() > length) {
        characters.resize(std::max<qsizetype>(length - 1, 0));
        characters << U'\u2026';
    }
    return QString::fromUcs4(characters.constData(), characters.size());
}
