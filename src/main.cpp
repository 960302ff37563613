#include "command/run.h"
#include "mainwindow/programwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // With arguments the program is a command: no window, no display server.
    if (argc > 1)
        return command::runCommandLine(argc, argv);

    QApplication app(argc, argv);
    return runProgramWindow(QCoreApplication::applicationDirPath());
}
