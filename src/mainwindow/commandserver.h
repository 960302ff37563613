// The window's side of the command line: a command from a shell is done on the window as the
// user would do it (a click on the character's button, the segments set on the editor, the text
// put in the player's box and Play pressed), so that the window shows its result. It sees the
// window only through CommandWindow.
#pragma once

#include "command/channel.h"
#include "command/commandwindow.h"
#include "effects/linelibrary.h"

#include <QObject>
#include <memory>

class CommandServer : public QObject
{
    Q_OBJECT
public:
    using Call = std::shared_ptr<command::RequestServer::Call>;

    // lines: the window's own line library, asked what stands behind each port.
    CommandServer(command::CommandWindow &window, std::shared_ptr<LineLibrary> lines,
        QObject *parent = nullptr);

    // Takes the commands for the program in programDirectory, unless another of its windows
    // already does. Commands wait until setReady(), when the window has started.
    bool listen(const QString &programDirectory);
    void setReady();

private:
    void handle(const command::Request &request, const Call &call);
    // Nothing while a play with --wait runs.
    std::optional<command::Reply> play(const command::Request &request);
    command::Reply port(int n);
    command::Reply ports();
    command::Reply status();
    // The wiring test in the window, asked and answered in the terminal.
    void test(const Call &call);
    // What follows a command that sends: the display gets nothing without a port.
    command::Reply sent();
    void playEnded(const command::Reply &reply);
    void windowClosed();

    command::CommandWindow &m_window;
    std::shared_ptr<LineLibrary> m_lines;
    command::RequestServer *m_server;
    QList<Call> m_waiting; // plays with --wait
};
