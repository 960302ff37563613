// The program's arguments read into one request, or into the help, the version or the reason why
// they are wrong.
#pragma once

#include "command/request.h"

#include <QStringList>

namespace command {

struct CommandLine
{
    enum Kind { Run, Help, Version, Wrong } kind = Wrong;
    Request request;
    bool textFromInput = false; // play -: the text is standard input to its end
    bool probe = false; // ports --probe: without a window, each port is opened to try it
    Reply wrong; // for Wrong
};

// The arguments after the program's name.
CommandLine parseCommandLine(const QStringList &arguments);

QString helpText();
QString versionText();

} // namespace command
