#include "mainwindow/programwindow.h"

#include "mainwindow/commandserver.h"
#include "mainwindow/form1.h"

#include <QApplication>

int runProgramWindow(const QString &programDirectory)
{
    QApplication::setApplicationName(QStringLiteral("Pravlon"));
    // Lets the desktop match the window to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("pravlon"));
    installCzechQtTexts();

    // The program ends with its main window, whatever other windows are open (help, the key
    // chart), and only once that window has sent its last character.
    QApplication::setQuitOnLastWindowClosed(false);
    const Environment environment = Environment::standard(programDirectory);
    Form1 form(environment);
    QObject::connect(&form, &Form1::ended, qApp, [] { QCoreApplication::exit(0); });
    // Commands from a shell; those that come while the window starts wait for it.
    CommandServer commands(form, environment.lines);
    commands.listen(environment.programDirectory);
    form.Form_Load();
    commands.setReady();
    form.show();
    return QApplication::exec();
}
