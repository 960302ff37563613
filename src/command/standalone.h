// A command done without a window: the same line library, character set, transfer and key
// table as the window, and no display server.
#pragma once

#include "command/request.h"
#include "effects/linelibrary.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QEventLoop;

namespace command {

class Standalone : public QObject
{
    Q_OBJECT
public:
    // dataFile: the program's own Data.ini; the one in use is read from it.
    Standalone(LineLibrary &lines, const QString &dataFile);

    // Does the request. A play runs here, in the foreground, until its end or stop().
    Reply run(const Request &request);
    // Ends a play after the character being sent, which stays shown.
    void stop();
    // The wiring test on the port given (else the first that opens): each step sent, then
    // `answer` asked the step's question; nothing from it ends the test unfinished.
    using Answerer = std::function<std::optional<QString>(const QString &question)>;
    Reply test(int port, const Answerer &answer);
    // `ports` opens each port first, as the window's start-up does, so that every state is
    // known; the open may clock a stray bit into a display on the port.
    void setProbe(bool probe) { m_probe = probe; }

private:
    Reply perform(const Request &request);
    static Reply noLibrary(const LineLibraryError &e);
    // The port given, else the first from COM1 upwards that opens; 0 and the failure when none.
    int openPort(int given, Reply &failed);
    // What each port is, asked of the line library, else found by opening it.
    QString portList();
    Reply show(const QString &pattern, int given);
    Reply play(const Request &request);
    Reply ports();
    Reply port(int n);
    Reply status();

    LineLibrary &m_lines;
    QString m_dataFile;
    QEventLoop *m_play = nullptr;
    bool m_stop = false;
    bool m_probe = false;
};

} // namespace command
