#include "display/portdetails.h"

#include <QStringList>

namespace {

QString slowBreakNote(const QString &driver)
{
    return QStringLiteral("Ovladač %1 stav break jen napodobuje: každá změna datové linky\n"
                          "trvá asi 0,2 s, jeden znak i několik sekund.")
        .arg(driver.isEmpty() ? QStringLiteral("adaptéru") : driver);
}

} // namespace

QString describePort(const PortInfo &port)
{
    return port.adapter.isEmpty() || port.device.isEmpty()
        ? port.device + port.adapter
        : port.device + QStringLiteral(" · ") + port.adapter;
}

QString portStateText(const PortInfo &port, bool offered)
{
    using State = PortInfo::State;
    const QString &detail = port.detail;
    switch (port.state) {
    case State::Open:
    case State::Ready:
    case State::SlowBreak: {
        const QString text = !offered
            ? QStringLiteral("Port už lze otevřít; program ho nabídne po novém spuštění.")
            : port.state == State::Open ? QStringLiteral("Port je otevřen.")
                                        : QStringLiteral("Port lze vybrat.");
        return port.state == State::SlowBreak ? text + u'\n' + slowBreakNote(detail) : text;
    }
    case State::Missing:
        return QStringLiteral("V systému takový port není.");
    case State::Gone:
        return QStringLiteral("Adaptér byl odpojen (nebo ho zabral jiný program, např. brltty).\n"
                              "Připojte ho a spusťte program znovu.");
    case State::Denied:
        if (detail.isEmpty()) {
            return QStringLiteral("Nemáte právo port používat.\n"
                                  "Požádejte správce počítače o přístup k zařízení.");
        }
        return QStringLiteral("Nemáte právo port používat: patří skupině %1.\n"
                              "Přidejte se do ní (pak se odhlaste a znovu přihlaste):\n"
                              "sudo usermod -aG %1 $USER")
            .arg(detail);
    case State::Busy:
        return QStringLiteral("Port drží jiný program (%1).\n"
                              "Zavřete ho a spusťte tento program znovu.")
            .arg(
                detail.isEmpty() ? QStringLiteral("terminál, ModemManager, brltty, gpsd") : detail);
    case State::NoDtr:
        return QStringLiteral("Adaptér neumí ovládat linku DTR, ze které displej bere hodiny.\n"
                              "Použijte adaptér s linkou DTR.");
    case State::NoBreak:
        return QStringLiteral("Adaptér neumí stav break na lince TxD, ze které displej bere data.\n"
                              "Použijte jiný adaptér.");
    case State::Untested:
        return QStringLiteral("Port zatím nebyl vyzkoušen: zda jde použít, ukáže až jeho "
                              "otevření\n(pravlon ports --probe, pravlon port COMn).");
    case State::Error:
        break;
    }
    return detail.isEmpty() ? QStringLiteral("Port nelze otevřít.")
                            : QStringLiteral("Port nelze otevřít: %1").arg(detail);
}

QString timePerCharacterText(qint64 nanoseconds)
{
    const qint64 ms = (nanoseconds + 500'000) / 1'000'000;
    return ms < 1 ? QStringLiteral("méně než 1 ms na znak")
                  : QStringLiteral("%1 ms na znak").arg(ms);
}

QString everyPortDetails(const PortReports &ports, const std::array<bool, 5> &offered)
{
    QStringList lines;
    for (int i = 0; i < 5; ++i) {
        if (!ports[i])
            return {};
        const QString device = describePort(*ports[i]);
        lines << QStringLiteral("COM%1%2: ")
                     .arg(i + 1)
                     .arg(device.isEmpty() ? QString() : QStringLiteral(" (") + device + u')')
                + portStateText(*ports[i], offered[i]).replace(u'\n', u' ');
    }
    return lines.join(u'\n');
}

QString noPortDetails(const PortReports &ports, const std::array<bool, 5> &offered)
{
    const QString lines = everyPortDetails(ports, offered);
    return lines.isEmpty()
        ? lines
        : lines + QStringLiteral("\n\nNáhled znaků v okně funguje i bez displeje.");
}

QString openPortDetails(const std::optional<PortInfo> &port, qint64 lastCharacterNanoseconds)
{
    if (!port)
        return {};
    QStringList lines{QStringLiteral("Zařízení: ") + port->device};
    if (!port->adapter.isEmpty())
        lines << QStringLiteral("Adaptér: ") + port->adapter;
    lines << QStringLiteral("Poslední znak: ")
            + (lastCharacterNanoseconds < 0 ? QStringLiteral("zatím žádný neodešel")
                                            : timePerCharacterText(lastCharacterNanoseconds));
    if (port->state == PortInfo::State::SlowBreak) {
        lines << QString()
              << slowBreakNote(port->detail).replace(u'\n', u' ')
                + QStringLiteral(" Adaptér s jiným čipem bude rychlejší.");
    }
    return lines.join(u'\n');
}
