#include "command/standalone.h"

#include "characterset/characterset.h"
#include "characterset/datafile.h"
#include "characterset/keytable.h"
#include "command/ports.h"
#include "display/portdetails.h"
#include "display/portselection.h"
#include "display/transfer.h"
#include "wiringtest/wiringtest.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <vector>

namespace command {

namespace {

bool usable(const PortInfo &info)
{
    using S = PortInfo::State;
    return info.state == S::Open || info.state == S::Ready || info.state == S::SlowBreak;
}

} // namespace

Standalone::Standalone(LineLibrary &lines, const QString &dataFile)
    : m_lines(lines)
    , m_dataFile(dataFile)
{ }

Reply Standalone::run(const Request &r)
{
    Reply reply = perform(r);
    // As the window's start-up says it: the characters then have their read default.
    const QString file = datafile::inUse(m_dataFile);
    if ((r.verb == Verb::Show || r.verb == Verb::Play) && !QFileInfo(file).isFile())
        reply.err += (reply.err.isEmpty() ? QString() : QStringLiteral("\n"))
            + QStringLiteral("Nenalezen soubor %1; znaky mají výchozí vzor %2.")
                  .arg(QDir::toNativeSeparators(file), DefaultPattern);
    return reply;
}

Reply Standalone::perform(const Request &r)
{
    try {
        switch (r.verb) {
        case Verb::Show: {
            std::array<QString, CharacterSlotCount> patterns;
            std::array<QString, UserCharacterCount> names;
            characterset::load(datafile::inUse(m_dataFile), patterns, names, nullptr);
            const ShowTarget target = *showTarget(r.character);
            QString pattern = target.button ? patterns[target.button - 1] : target.pattern;
            // As on the first page with its decimal point off.
            if (pattern.size() >= PatternLength)
                pattern[PatternLength - 1] = u'0';
            return show(pattern, r.port);
        }
        case Verb::ShowPattern:
            return show(r.pattern, r.port);
        case Verb::Play:
            return play(r);
        case Verb::Stop:
            return failure(Done,
                QStringLiteral("Okno programu neběží. Přehrávání bez okna zastavíte klávesami "
                               "Ctrl+C v jeho terminálu."));
        case Verb::Port:
            return port(r.port);
        case Verb::Ports:
            return ports();
        case Verb::Status:
            return status();
        case Verb::Test:
            return test(r.port, {});
        }
    } catch (const LineLibraryError &e) {
        return noLibrary(e);
    }
    return Reply();
}

Reply Standalone::test(int given, const Answerer &answer)
{
    try {
        Reply failed;
        if (!openPort(given, failed))
            return failed;
        wiringtest::Session session;
        while (!session.finished()) {
            transferPattern(m_lines, session.step().pattern);
            const std::optional<QString> typed = answer
                ? answer(wiringtest::terminalQuestion(session.current() + 1, session.step()))
                : std::nullopt;
            if (!typed)
                return failure(Failed, QStringLiteral("Test zapojení nebyl dokončen."));
            // The caller asks again until the answer can be read.
            if (const std::optional<wiringtest::Answer> a = wiringtest::parseAnswer(*typed))
                session.answer(*a);
        }
        return Reply{Done, wiringtest::diagnosisText(wiringtest::diagnose(session.seen())), {}};
    } catch (const LineLibraryError &e) {
        return noLibrary(e);
    }
}

Reply Standalone::noLibrary(const LineLibraryError &e)
{
    // A file that is there but cannot be used (no library, a function missing) is not "not
    // found".
    return failure(NoLibrary,
        (QFileInfo(e.modulePath).isFile()
                ? QStringLiteral("Knihovnu portu %1 nelze použít; bez ní nelze odesílat znaky.")
                : QStringLiteral("Nenalezen soubor %1; bez něj nelze odesílat znaky."))
                .arg(lineLibraryFileName())
            + QStringLiteral("\nKnihovna byla hledána zde: %1\nDůvod: %2")
                  .arg(QDir::toNativeSeparators(e.modulePath), e.reason));
}

void Standalone::stop()
{
    m_stop = true;
    // Between two characters: nothing is being sent.
    if (m_play)
        m_play->quit();
}

int Standalone::openPort(int given, Reply &failed)
{
    for (int n = given ? given : 1; n <= (given ? given : PortSelection::Count); ++n) {
        if (m_lines.OPENCOM(PortSelection::settingsText(n)))
            return n;
    }
    failed = failure(NoPort,
        (given ? QStringLiteral("Port %1 nelze otevřít.").arg(PortSelection::portName(given))
               : NoPortText)
            + u'\n' + portList());
    return 0;
}

QString Standalone::portList()
{
    return command::portList(
        m_lines, [](int) { return true; },
        [this](
            int n) { return portKnownOnly(m_lines.OPENCOM(PortSelection::settingsText(n)) != 0); });
}

Reply Standalone::show(const QString &pattern, int given)
{
    Reply failed;
    if (!openPort(given, failed))
        return failed;
    if (!transferPattern(m_lines, pattern))
        return failure(BadCharacter,
            QStringLiteral("Vzor „%1“ z %2 nelze odeslat: nemá osm číslic 0 a 1.")
                .arg(pattern, QDir::toNativeSeparators(datafile::inUse(m_dataFile))));
    return Reply();
}

Reply Standalone::play(const Request &r)
{
    Reply failed;
    if (!openPort(r.port, failed))
        return failed;
    std::array<QString, CharacterSlotCount> patterns;
    std::array<QString, UserCharacterCount> names;
    // As in the text box, a line break is a carriage return and a line feed.
    std::vector<char32_t> text;
    for (char32_t c : r.text.toUcs4()) {
        if (c == U'\n')
            text.push_back(U'\r');
        text.push_back(c);
    }
    // The text player's steps: one character per tick; at the end of a single play the tick
    // that ends it sends the first character once more.
    const int length = int(text.size());
    int left = length;
    QString current; // the pattern on show; unknown at first
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(r.ms);
    connect(&timer, &QTimer::timeout, &loop, [&] {
        // The character set as it is now, as the player reads its table at every tick.
        characterset::load(datafile::inUse(m_dataFile), patterns, names, nullptr);
        bool ending = false;
        if (left <= 0) {
            ending = !r.loop;
            left = length;
        }
        left -= 1;
        const int p = length - left;
        if (p >= 1 && p <= length) {
            const QString typed = QString::fromUcs4(&text[p - 1], 1);
            if (std::optional<QString> pattern = playedPattern(typed.toLower(), patterns))
                current = *pattern;
        }
        if (!current.isEmpty())
            transferPattern(m_lines, current);
        if (ending || m_stop)
            loop.quit();
    });
    m_play = &loop;
    timer.start();
    if (!m_stop)
        loop.exec();
    m_play = nullptr;
    return Reply();
}

Reply Standalone::ports()
{
    if (!m_probe)
        return Reply{Done, portList(), QString()};
    for (int n = 1; n <= PortSelection::Count; ++n)
        m_lines.OPENCOM(PortSelection::settingsText(n));
    return Reply{Done, portList(),
        QStringLiteral("Každý port byl otevřen; displej na některém z nich mohl ukázat "
                       "náhodný segment.")};
}

// Only this port is opened: what the library says of a port it never opened is no proof that
// it works.
Reply Standalone::port(int n)
{
    const bool opens = m_lines.OPENCOM(PortSelection::settingsText(n)) != 0;
    const std::optional<PortInfo> info = m_lines.portInfo(n);
    const PortInfo known = info ? *info : portKnownOnly(opens);
    if (!usable(known))
        return failure(
            NoPort, PortSelection::portName(n) + QStringLiteral(": ") + portReason(known, true));
    return failure(Done,
        QStringLiteral("Okno programu neběží: port %1 lze použít, ale volba se bez okna "
                       "neuchová. Příkazům bez okna jej dejte volbou --port %1.")
            .arg(PortSelection::portName(n)));
}

Reply Standalone::status()
{
    // The first port that would be used, as far as it is known without opening one.
    QString port = QStringLiteral("COM0"), state = QStringLiteral("none");
    for (int n = 1; n <= PortSelection::Count; ++n) {
        const std::optional<PortInfo> info = m_lines.portInfo(n);
        if (!info || info->state == PortInfo::State::Untested) {
            port = QStringLiteral("neznámý");
            state = info ? PortInfo::word(info->state) : QString();
            break;
        }
        if (usable(*info)) {
            port = PortSelection::portName(n);
            state = PortInfo::word(info->state);
            break;
        }
    }
    return Reply{Done, statusText(false, port, state, QString(), PlayState::Stopped), QString()};
}

} // namespace command
