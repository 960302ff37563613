// Texts that more than one window shows.
#pragma once

#include <QDir>
#include <QString>
#include <QUrl>

// The maker's web page, named by every message, label and link.
inline const QString MakerWebAddress = QStringLiteral("www.vkt.example");
inline QUrl makerWebUrl()
{
    return QUrl(QStringLiteral("https://") + MakerWebAddress);
}

// "ERROR 02": what start-up and the About window say when Data.ini is missing.
inline QString dataFileMissingText()
{
    return QStringLiteral("Nenalezen soubor Data.ini. Předdefinované znaky nejsou k dispozici.\r\n"
                          "Doporučuji přeinstalovat program, který si můžete stáhnout na ")
        + MakerWebAddress;
}

// Its details: where the file was looked for.
inline QString dataFileMissingDetails(const QString &path)
{
    return QStringLiteral("Soubor byl hledán zde: ") + QDir::toNativeSeparators(path);
}
