// What the program needs from outside: its directory, the line library, message boxes, the
// random source, the beep and starting other programs. Tests put doubles in.
#pragma once

#include "display/linelibrary.h"
#include "sources/randomsource.h"
#include "ui/messages.h"

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

// Adds the minimise button to a fixed-size window.
void EnableMinimizeBox(QWidget *window);
