#include "command/run.h"

#include "characterset/characterset.h"
#include "command/channel.h"
#include "command/commandline.h"
#include "command/standalone.h"
#include "wiringtest/wiringtest.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <iostream>
#include <string>

#if defined(Q_OS_UNIX)
#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace command {

namespace {

void print(FILE *stream, const QString &text)
{
    if (text.isEmpty())
        return;
    const QByteArray bytes = text.endsWith(u'\n') ? text.toUtf8() : (text + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

int finish(const Reply &reply)
{
    print(stdout, reply.out);
    print(stderr, reply.err);
    return reply.code;
}

// Standard input to its end, as the text to play; one final line break ends the last line and
// is not played. Nothing when it is longer than a text may be, known as soon as it is: a writer
// that never stops is not waited for.
std::optional<QString> readInput()
{
    // Four bytes a character at most, so that a longer input is seen to be too long. fread waits
    // for more until the buffer is full or the input ends: a pipe's writer may pause.
    QByteArray bytes(qint64(MaxTextCharacters) * 4 + 1, Qt::Uninitialized);
    bytes.truncate(qsizetype(std::fread(bytes.data(), 1, size_t(bytes.size()), stdin)));
    if (bytes.size() > qint64(MaxTextCharacters) * 4)
        return std::nullopt;
    QString text = playText(QString::fromUtf8(bytes));
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}

// One line of standard input, without its line break; nothing at its end.
std::optional<QString> readLine()
{
    std::string line;
    if (!std::getline(std::cin, line))
        return std::nullopt;
    return QString::fromLocal8Bit(line.c_str()).trimmed();
}

#if defined(Q_OS_UNIX)
int signalPipe[2] = {-1, -1};
volatile sig_atomic_t caught = 0;

void onSignal(int number)
{
    caught = number;
    const char byte = 0;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

// Ctrl+C and SIGTERM stop the play between two characters, and then end the process by the same
// signal, so that a shell sees how it ended.
class SignalStop
{
public:
    explicit SignalStop(Standalone &runner)
    {
        if (::pipe(signalPipe) != 0)
            return;
        for (int fd : signalPipe)
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        m_notifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, &runner, &Standalone::stop);
        struct sigaction action
        {
        };
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        for (int number : {SIGINT, SIGTERM})
            ::sigaction(number, &action, nullptr);
    }
    ~SignalStop()
    {
        if (!caught)
            return;
        std::signal(caught, SIG_DFL);
        std::raise(caught);
    }

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};
#else
class SignalStop
{
public:
    explicit SignalStop(Standalone &) { }
};
#endif

} // namespace

int runCommandLine(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    CommandLine line = parseCommandLine(QCoreApplication::arguments().mid(1));
    switch (line.kind) {
    case CommandLine::Help:
        return finish({Done, helpText(), QString()});
    case CommandLine::Version:
        return finish({Done, versionText(), QString()});
    case CommandLine::Wrong:
        return finish(line.wrong);
    case CommandLine::Run:
        break;
    }
    Request &request = line.request;
    if (line.textFromInput) {
        const std::optional<QString> text = readInput();
        request.text = text.value_or(QString());
        if (!text || check(request))
            return finish(failure(Usage,
                QStringLiteral("Text je příliš dlouhý: nejvýše %1 znaků.").arg(MaxTextCharacters)));
    }

    // The wiring test asks in the terminal, whoever sends the steps.
    const Answerer answer = [](const QString &question) -> std::optional<QString> {
        QString typed;
        do {
            print(stdout, question);
            std::optional<QString> line = readLine();
            if (!line)
                return std::nullopt;
            typed = *line;
            if (!wiringtest::parseAnswer(typed))
                print(stdout, wiringtest::TerminalHint);
        } while (!wiringtest::parseAnswer(typed));
        return typed;
    };
    const bool conversation = request.verb == Verb::Test;

    const QString directory = QCoreApplication::applicationDirPath();
    if (const std::optional<Reply> reply = askWindow(
            socketName(directory), request, WindowTimeoutMs, conversation ? answer : Answerer()))
        return finish(*reply);

    ModuleLineLibrary lines(directory, false); // its reason is in the message below
    Standalone runner(lines, QDir(directory).filePath(DataFileName));
    runner.setProbe(line.probe);
    if (conversation)
        return finish(runner.test(request.port, answer));
    const SignalStop stop(runner);
    return finish(runner.run(request));
}

} // namespace command
