// The program started with arguments: one command, through the running window or on its own,
// without a display server.
#pragma once

namespace command {

// Creates the application object itself; returns the exit code. A foreground play stopped by
// SIGINT or SIGTERM ends the process by that signal once the character being sent is out.
int runCommandLine(int argc, char *argv[]);

} // namespace command
