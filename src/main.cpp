#include "mainwindow/form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pravlon"));
    // Lets the desktop match the window to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("pravlon"));
    // The window closes itself with the shutdown transfer; the help and chart windows never
    // keep the program alive.
    QApplication::setQuitOnLastWindowClosed(false);
    installCzechQtTexts();

    Form1 form(Environment::standard(QCoreApplication::applicationDirPath()));
    form.Form_Load();
    form.show();
    return QApplication::exec();
}
