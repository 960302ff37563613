// Saves user characters into the given Data.ini in an endless loop, alternating between two
// values per entry, until it is killed.
#include "sources/profile.h"

#include <QString>

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    for (unsigned i = 0;; ++i) {
        const bool odd = i & 1;
        profile::write(QStringLiteral("User"),
            {{QStringLiteral("B%1Text").arg(i % 10 + 1),
                 odd ? QStringLiteral("Nový") : QStringLiteral("Old")},
                {QStringLiteral("B%1Data").arg(i % 10 + 1),
                    odd ? QStringLiteral("11111111") : QStringLiteral("10010000")}},
            path);
    }
}
