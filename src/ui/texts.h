// Texts that more than one window shows.
#pragma once

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
