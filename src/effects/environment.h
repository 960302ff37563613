// What the program needs from outside: its directory, the line library, message boxes, the
// random source, the beep and starting other programs. Tests put doubles in. This room is the
// ground floor: every other room may use it, and it uses none of them.
#pragma once

#include "effects/linelibrary.h"
#include "effects/messages.h"
#include "effects/randomsource.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

struct Environment
{
    QString programDirectory;
    std::shared_ptr<LineLibrary> lines;
    std::shared_ptr<MessageSink> messages;
    std::shared_ptr<RandomSource> random;
    std::function<void()> beep;
    // Starts a program without waiting for it; false when it cannot be started.
    std::function<bool(const QString &program, const QStringList &arguments)> startProgram;

    // The real thing, for the program in the given directory.
    static Environment standard(const QString &programDirectory);
};

// Qt's own texts (message-box buttons, context menus) in Czech, like the rest of the interface,
// whatever the system's language. False, and English texts, when Qt's translation is missing.
bool installCzechQtTexts();
