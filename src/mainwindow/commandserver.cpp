#include "mainwindow/commandserver.h"

#include "command/ports.h"
#include "display/portdetails.h"
#include "display/portselection.h"
#include "mainwindow/form1.h"
#include "sources/characterbuttons.h"
#include "sources/segmenteditor.h"
#include "sources/textplayer.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>

using namespace command;

namespace {

// The window's controls, found by their names as a person or an accessibility tool finds them.
template <class T> T *named(const QObject &root, const QString &name)
{
    return root.findChild<T *>(name);
}

enum Page { Buttons, Editor, Player };

} // namespace

CommandServer::CommandServer(Form1 &form, std::shared_ptr<LineLibrary> lines, QObject *parent)
    : QObject(parent)
    , m_form(form)
    , m_lines(std::move(lines))
    , m_server(new RequestServer(
          [this](const Request &request, const Call &call) { handle(request, call); }, this))
{
    connect(&m_form, &Form1::ended, this, &CommandServer::windowClosed);
    // A play ends when Play is released (its end, Stop, a new play) or when another page comes
    // to the front, which halts it.
    connect(named<QPushButton>(m_form, QStringLiteral("Check3")), &QPushButton::toggled, this,
        [this](bool on) {
            if (!on)
                playEnded(Reply());
        });
    connect(named<QTabWidget>(m_form, QStringLiteral("SSTab1")), &QTabWidget::currentChanged, this,
        [this](int page) {
            if (page != Player)
                playEnded(Reply());
        });
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
    const bool sends = request.verb == Verb::Show || request.verb == Verb::ShowPattern
        || request.verb == Verb::Play || request.verb == Verb::Port;
    if (sends && !named<QTabWidget>(m_form, QStringLiteral("SSTab1"))->isEnabled()) {
        call->finish(failure(NoLibrary,
            QStringLiteral("Okno programu nemůže použít knihovnu portu (%1) a znaky neodesílá; "
                           "důvod uvádí jeho hlášení ERROR 03.")
                .arg(lineLibraryFileName())));
        return;
    }
    // --port: the port is picked first, as a click on its option would pick it.
    if (request.port && request.verb != Verb::Port
        && named<QLabel>(m_form, QStringLiteral("Label2"))->text()
            != PortSelection::portName(request.port)) {
        const Reply picked = port(request.port);
        if (picked.code != Done) {
            call->finish(picked);
            return;
        }
    }
    switch (request.verb) {
    case Verb::Show:
    case Verb::ShowPattern:
        call->finish(show(request));
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
        call->finish(stop());
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
    }
}

Reply CommandServer::show(const Request &request)
{
    auto *tabs = named<QTabWidget>(m_form, QStringLiteral("SSTab1"));
    if (request.verb == Verb::Show) {
        const ShowTarget target = *showTarget(request.character);
        tabs->setCurrentIndex(Buttons);
        if (target.button) {
            named<CharacterButtonsPage>(m_form, QStringLiteral("Page1"))
                ->Commanda(target.button)
                ->click();
        } else {
            // A key of the player's table without a button of its own.
            m_form.KOdeslani = target.pattern;
            m_form.ShowCharacter();
        }
    } else {
        named<SegmentEditorPage>(m_form, QStringLiteral("Page2"))->compose(request.pattern);
        if (tabs->currentIndex() == Editor) {
            m_form.KOdeslani = m_form.JednoSeg;
            m_form.ShowCharacter();
        } else {
            tabs->setCurrentIndex(Editor); // which puts the composition on show
        }
    }
    return sent();
}

std::optional<Reply> CommandServer::play(const Request &request)
{
    auto *check3 = named<QPushButton>(m_form, QStringLiteral("Check3"));
    if (check3->isChecked())
        check3->setChecked(false); // Stop
    named<QTabWidget>(m_form, QStringLiteral("SSTab1"))->setCurrentIndex(Player);
    named<QPlainTextEdit>(m_form, QStringLiteral("Text1"))->setPlainText(request.text);
    named<QScrollBar>(m_form, QStringLiteral("HScroll1"))->setValue(request.ms);
    named<QPushButton>(m_form, QStringLiteral("Check4"))->setChecked(request.loop);
    check3->setChecked(true); // Play
    if (named<QLabel>(m_form, QStringLiteral("Label2"))->text() == QLatin1String("COM0"))
        return sent();
    if (!request.wait)
        return Reply();
    return std::nullopt;
}

Reply CommandServer::stop()
{
    auto *check3 = named<QPushButton>(m_form, QStringLiteral("Check3"));
    if (check3->isChecked())
        check3->setChecked(false);
    return Reply();
}

Reply CommandServer::port(int n)
{
    auto *option = named<QRadioButton>(m_form, QStringLiteral("Option%1").arg(n));
    const QString name = PortSelection::portName(n);
    if (!option->isEnabled()) {
        const std::optional<PortInfo> info = m_lines->portInfo(n);
        return failure(NoPort,
            name + QStringLiteral(": ") + portReason(info.value_or(portKnownOnly(false)), false));
    }
    if (!option->isChecked())
        option->click();
    const QString now = named<QLabel>(m_form, QStringLiteral("Label2"))->text();
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
    const auto option
        = [this](int n) { return named<QRadioButton>(m_form, QStringLiteral("Option%1").arg(n)); };
    return Reply{Done,
        portList(
            *m_lines, [&](int n) { return option(n)->isEnabled(); },
            [&](int n) {
                return portKnownOnly(
                    option(n)->isEnabled(), option(n)->isEnabled() && option(n)->isChecked());
            }),
        QString()};
}

Reply CommandServer::status()
{
    const bool on = named<QPushButton>(m_form, QStringLiteral("Check3"))->isChecked();
    const bool ticking = named<QTimer>(m_form, QStringLiteral("Timer2"))->isActive();
    const QString port = named<QLabel>(m_form, QStringLiteral("Label2"))->text();
    const std::optional<PortInfo> info = m_lines->portInfo(port.mid(3).toInt());
    return Reply{Done,
        statusText(true, port,
            port == QLatin1String("COM0")
                ? QStringLiteral("none")
                : PortInfo::word(info ? info->state : PortInfo::State::Open),
            named<QLabel>(m_form, QStringLiteral("Label1"))->text(),
            !on           ? PlayState::Stopped
                : ticking ? PlayState::Playing
                          : PlayState::Paused),
        QString()};
}

Reply CommandServer::sent()
{
    if (named<QLabel>(m_form, QStringLiteral("Label2"))->text() == QLatin1String("COM0"))
        return failure(NoPort, NoPortText + u'\n' + ports().out);
    // The pattern label follows only a pattern that went out whole.
    if (named<QLabel>(m_form, QStringLiteral("Label1"))->text() != m_form.KOdeslani)
        return failure(BadCharacter,
            QStringLiteral("Vzor „%1“ nelze odeslat: nemá osm číslic 0 a 1.")
                .arg(m_form.KOdeslani));
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
