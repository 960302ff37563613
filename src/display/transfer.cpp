#include "display/transfer.h"

bool transferPattern(LineLibrary &lines, const QString &pattern)
{
    try {
        for (int k = PatternLength; k >= 1; --k) {
            lines.DTR(1);
            const QChar c = k <= pattern.size() ? pattern[k - 1] : QChar();
            if (c < u'0' || c > u'9')
                return false;
            lines.TXD(c.unicode() - u'0');
            lines.DTR(0);
        }
    } catch (const LineLibraryError &) {
        return false;
    }
    return true;
}
