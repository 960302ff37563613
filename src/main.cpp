#include "mainwindow/form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pravlon"));
    // Lets the desktop match the window to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("pravlon"));
    installCzechQtTexts();

    // The program ends with its main window, whatever other windows are open (help, the key
    // chart), and only once that window has sent its last character.
    QApplication::setQuitOnLastWindowClosed(false);
    Form1 form(Environment::standard(QCoreApplication::applicationDirPath()));
    QObject::connect(&form, &Form1::ended, &app, [] { QCoreApplication::exit(0); });
    form.Form_Load();
    form.show();
    return QApplication::exec();
}
