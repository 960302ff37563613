#include "command/request.h"
#include "command/run.h"
#include "mainwindow/programwindow.h"

#include <QApplication>
#include <QList>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

// What Qt says while it opens the platform, held back: it is either harmless or, when no platform
// opens, replaced by one line in the interface's language.
QtMessageHandler qtOwnHandler = nullptr;
QList<std::pair<QtMsgType, QString>> heldBack;

void whileOpeningPlatform(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtFatalMsg) {
        heldBack.append({type, text});
        return;
    }
    // Qt would abort with a core dump. Whatever the cause (no DISPLAY, a DISPLAY that cannot be
    // reached over ssh, no plugin), the user learns that the window needs a graphical session
    // and that the commands do not.
    Q_UNUSED(context);
    std::fputs("pravlon: Nenalezeno grafické prostředí, okno nelze otevřít (zkontrolujte "
               "DISPLAY nebo WAYLAND_DISPLAY).\nPříkazy, které okno nepotřebují, vypíše pravlon "
               "--help.\n",
        stderr);
    std::fflush(stderr);
    std::_Exit(command::NoDisplay);
}

} // namespace

int main(int argc, char *argv[])
{
    // With arguments the program is a command: no window, no display server.
    if (argc > 1)
        return command::runCommandLine(argc, argv);

    qtOwnHandler = qInstallMessageHandler(whileOpeningPlatform);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtOwnHandler);
    for (const auto &[type, text] : std::exchange(heldBack, {}))
        qtOwnHandler(type, QMessageLogContext(), text);
    return runProgramWindow(QCoreApplication::applicationDirPath());
}
