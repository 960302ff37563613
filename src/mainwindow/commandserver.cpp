#include "mainwindow/commandserver.h"

#include "command/commands.h"
#include "command/ports.h"
#include "display/portdetails.h"
#include "display/portselection.h"

using namespace command;

CommandServer::CommandServer(
    CommandWindow &window, std::shared_ptr<LineLibrary> lines, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_lines(std::move(lines))
    , m_server(new RequestServer(
          [this](const Request &request, const Call &call) { handle(request, call); }, this))
{
    m_window.whenClosed(this, [this] { windowClosed(); });
    m_window.whenPlayEnds(this, [this] { playEnded(Reply()); });
}

bool CommandServer::listen(const QString &programDirectory)
{
    return m_server->listen(socketName(programDirectory));
}

void CommandServer::setReady()
{
    m_server->setReady();
}

void CommandServer::handle(const Request &request, const Call &call)
{
    if (commandOf(request.verb).sends && !m_window.sends()) {
        call->finish(failure(NoLibrary,
            QStringLiteral("Okno programu nemůže použít knihovnu portu (%1) a znaky neodesílá; "
                           "důvod uvádí jeho hlášení ERROR 03.")
                .arg(lineLibraryFileName())));
        return;
    }
    // The wiring test owns the display while it runs: nothing else may send or change the port.
    if (request.verb != Verb::Ports && request.verb != Verb::Status && m_window.testRunning()) {
        call->finish(failure(Failed,
            QStringLiteral("Běží test zapojení: dokud se jeho okno nezavře, program jiné znaky "
                           "neposílá. Zkuste příkaz znovu potom.")));
        return;
    }
    // --port: the port is picked first, as a click on its option would pick it.
    if (request.port && request.verb != Verb::Port
        && m_window.portName() != PortSelection::portName(request.port)) {
        const Reply picked = port(request.port);
        if (picked.code != Done) {
            call->finish(picked);
            return;
        }
    }
    switch (request.verb) {
    case Verb::Show:
        m_window.showCharacter(*showTarget(request.character));
        call->finish(sent());
        return;
    case Verb::ShowPattern:
        m_window.showPattern(request.pattern);
        call->finish(sent());
        return;
    case Verb::Play:
        if (const std::optional<Reply> reply = play(request))
            call->finish(*reply);
        else if (call->open())
            m_waiting << call;
        if (request.wait && !call->finished())
            call->started();
        return;
    case Verb::Stop:
        m_window.stop();
        call->finish(Reply());
        return;
    case Verb::Port:
        call->finish(port(request.port));
        return;
    case Verb::Ports:
        call->finish(ports());
        return;
    case Verb::Status:
        call->finish(status());
        return;
    case Verb::Test:
        test(call);
        return;
    }
}

std::optional<Reply> CommandServer::play(const Request &request)
{
    m_window.play(request.text, request.ms, request.loop);
    if (m_window.portName() == QLatin1String("COM0"))
        return sent();
    if (!request.wait)
        return Reply();
    return std::nullopt;
}

Reply CommandServer::port(int n)
{
    const QString name = PortSelection::portName(n);
    if (!m_window.portOffered(n)) {
        const std::optional<PortInfo> info = m_lines->portInfo(n);
        return failure(NoPort,
            name + QStringLiteral(": ") + portReason(info.value_or(portKnownOnly(false)), false));
    }
    if (!m_window.portPicked(n))
        m_window.pickPort(n);
    const QString now = m_window.portName();
    if (now != name) {
        const std::optional<PortInfo> info = m_lines->portInfo(n);
        return failure(NoPort,
            QStringLiteral("Port %1 nelze otevřít: %3 Okno teď používá %2.")
                .arg(name, now, portReason(info.value_or(portKnownOnly(false)), false)));
    }
    return Reply();
}

Reply CommandServer::ports()
{
    return Reply{Done,
        portList(
            *m_lines, [this](int n) { return m_window.portOffered(n); },
            [this](int n) {
                return portKnownOnly(
                    m_window.portOffered(n), m_window.portOffered(n) && m_window.portPicked(n));
            }),
        QString()};
}

Reply CommandServer::status()
{
    const QString port = m_window.portName();
    const std::optional<PortInfo> info = m_lines->portInfo(port.mid(3).toInt());
    return Reply{Done,
        statusText(true, port,
            port == QLatin1String("COM0")
                ? QStringLiteral("none")
                : PortInfo::word(info ? info->state : PortInfo::State::Open),
            m_window.patternShown(), m_window.playState()),
        QString()};
}

Reply CommandServer::sent()
{
    if (m_window.portName() == QLatin1String("COM0"))
        return failure(NoPort, NoPortText + u'\n' + ports().out);
    // The pattern label follows only a pattern that went out whole.
    if (m_window.patternShown() != m_window.patternToSend())
        return failure(BadCharacter,
            QStringLiteral("Vzor „%1“ nelze odeslat: nemá osm číslic 0 a 1.")
                .arg(m_window.patternToSend()));
    return Reply();
}

void CommandServer::playEnded(const Reply &reply)
{
    const QList<Call> waiting = std::exchange(m_waiting, {});
    for (const Call &call : waiting)
        call->finish(reply);
}

void CommandServer::windowClosed()
{
    m_server->shutDown(
        failure(Failed, QStringLiteral("Okno programu se zavírá; příkaz nebyl proveden.")));
    playEnded(failure(Failed, QStringLiteral("Přehrávání skončilo zavřením okna.")));
}

void CommandServer::test(const Call &call)
{
    if (m_window.portName() == QLatin1String("COM0")) {
        call->finish(failure(NoPort, NoPortText + u'\n' + ports().out));
        return;
    }
    // Each step is asked about in the terminal; its answer comes back on the same connection.
    const auto ask = [call](const QString &question) { call->ask(question); };
    const bool opened = m_window.openTest(call->connection(),
        {[ask](int number, const wiringtest::Step &step) {
             ask(wiringtest::terminalQuestion(number, step));
         },
            [call](const QString &diagnosis) {
                call->finish(Reply{Done, diagnosis, QString()});
            },
            [call] {
                call->finish(
                    failure(Failed, QStringLiteral("Test zapojení byl zavřen v okně programu.")));
            }});
    if (!opened) {
        call->finish(failure(Failed, QStringLiteral("Okno testu zapojení se neotevřelo.")));
        return;
    }
    call->converse(
        [this, call](const QString &line) {
            if (const std::optional<wiringtest::Answer> a = wiringtest::parseAnswer(line))
                m_window.answerTest(*a);
            else
                call->ask(wiringtest::TerminalHint);
        },
        // Not while the window and this server are being taken down.
        [self = QPointer<CommandServer>(this)] {
            if (self)
                self->m_window.closeTest();
        });
}
