// The About window: product and version, the maker's links, the character-set file's version
// and the system information tool.
#pragma once

#include "effects/environment.h"

#include <QDialog>

class QPushButton;
class PictureButton;
class SvgPicture;

// Credit lines and the identification number.
inline const QString MakerCredit = QStringLiteral("(c) VKT Software");
inline const QString AuthorCredit = QStringLiteral("Autor: VKT");
inline const QString IdentificationNumber = QStringLiteral("20712");

class Form3 : public QDialog
{
    Q_OBJECT
public:
    // The data-file version is read from dataFile.
    Form3(Environment &environment, QString dataFile, QWidget *parent = nullptr);

    void Image1_Click(); // swaps the two pictures
    void Command2_Click(); // system info
    void Command4_Click(); // data-file version
    void openMakerPage();

    // The system information tools tried in this order.
    static QList<QPair<QString, QStringList>> systemInfoTools();

private:
    PictureButton *Image1 = nullptr;
    PictureButton *Image2 = nullptr;
    SvgPicture *Image3 = nullptr;
    QPushButton *Command1 = nullptr;
    Environment &m_env;
    QString m_dataFile;
};
