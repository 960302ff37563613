// Timer cadence in the program with the simulated line module: the module logs a timestamp
// for every line call, and the characters and their intervals are read back from that log.
#include "controls.h"
#include "mainwindow/form1.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

struct Sent
{
    qint64 ns;
    QString bits;
};

// Groups the logged TXD calls into characters of eight bits.
QList<Sent> readCharacters(const QString &log)
{
    QFile f(log);
    f.open(QIODevice::ReadOnly);
    QList<Sent> sent;
    Sent current{0, {}};
    for (const QByteArray &line : f.readAll().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() != 3 || parts[1] != "TXD")
            continue;
        if (current.bits.isEmpty())
            current.ns = parts[0].toLongLong();
        current.bits += QChar(u'0' + parts[2].toInt());
        if (current.bits.size() == 8) {
            sent << current;
            current = {0, {}};
        }
    }
    return sent;
}

// An event loop that sleeps between events, as the program's own does: the intervals then
// include waking up, and the processor time is the program's work alone.
void run(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

void report(QString what, const QList<Sent> &sent, double seconds, const char *target, bool met)
{
    // Painting costs differ between the headless platform and a real X server.
    what += QStringLiteral(" (%1)").arg(QGuiApplication::platformName());
    QList<double> gaps;
    for (int i = 1; i < sent.size(); ++i)
        gaps << (sent[i].ns - sent[i - 1].ns) / 1e6;
    std::sort(gaps.begin(), gaps.end());
    QSet<QString> distinct;
    for (const Sent &s : sent)
        distinct.insert(s.bits);
    const double median = gaps.isEmpty() ? 0 : gaps[gaps.size() / 2];
    const double p99
        = gaps.isEmpty() ? 0 : gaps[std::min<qsizetype>(gaps.size() - 1, gaps.size() * 99 / 100)];
    std::printf(
        "| %s | %.0f chars/s, median %.3f ms, p99 %.3f ms, %lld distinct (target %s) | %s |\n",
        qPrintable(what), sent.size() / seconds, median, p99,
        static_cast<long long>(distinct.size()), target, met ? "met" : "MISSED");
}

} // namespace

int main(int argc, char **argv)
{
    // Headless unless told otherwise (make bench runs it on Xvfb too).
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    QFile::copy(QStringLiteral(SIM_LIBRARY), dir.filePath(QStringLiteral("librscom.so")));
    QFile::copy(QStringLiteral(DATA_INI), dir.filePath(QStringLiteral("Data.ini")));
    const QString log = dir.filePath(QStringLiteral("lines.log"));
    qputenv("PRAVLON_SIM_LOG", log.toLocal8Bit());
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? atof(argv[1]) : 3.0;

    Form1 form(Environment::standard(dir.path()));
    form.Form_Load();
    form.show();
    auto *text = control<QPlainTextEdit>(&form, "Text1");
    auto *play = control<QPushButton>(&form, "Check3");
    auto *speed = control<QScrollBar>(&form, "HScroll1");
    auto *generate = control<QPushButton>(&form, "Check2");
    const auto restartLog = [&] { QFile::resize(log, 0); };

    control<QTabWidget>(&form, "SSTab1")->setCurrentIndex(int(Page::Player));
    // Every character differs from the one before, so every tick repaints the preview.
    text->setPlainText(QStringLiteral("ab").repeated(100));
    control<QPushButton>(&form, "Check4")->setChecked(true);
    for (int interval : {1, 350}) {
        speed->setValue(interval);
        restartLog();
        play->setChecked(true);
        const double span = interval == 1 ? seconds : std::max(seconds, 4.0);
        const std::clock_t cpu = std::clock();
        run(int(span * 1000));
        const double cpuSeconds = double(std::clock() - cpu) / CLOCKS_PER_SEC;
        play->setChecked(false);
        QList<Sent> sent = readCharacters(log);
        if (!sent.isEmpty())
            sent.removeLast(); // the stop re-sends nothing, but a tick may be cut by the stop
        QList<double> gaps;
        for (int i = 1; i < sent.size(); ++i)
            gaps << (sent[i].ns - sent[i - 1].ns) / 1e6;
        std::sort(gaps.begin(), gaps.end());
        const double median = gaps.isEmpty() ? 0 : gaps[gaps.size() / 2];
        // The program's own processor time per character, which other load on the machine
        // hardly changes.
        if (interval == 1)
            report(QStringLiteral("text player, 1 ms, %1 us CPU/char")
                       .arg(sent.isEmpty() ? 0 : int(cpuSeconds * 1e6 / sent.size())),
                sent, span, ">= 900 chars/s", sent.size() / span >= 900);
        else
            report("text player, 350 ms", sent, span, "median 350 +- 1 ms",
                std::abs(median - 350) <= 1);
    }

    control<QTabWidget>(&form, "SSTab1")->setCurrentIndex(int(Page::Editor));
    control<QScrollBar>(&form, "VScroll1")->setValue(2000);
    restartLog();
    generate->setChecked(true);
    run(2000);
    generate->setChecked(false);
    const QList<Sent> random = readCharacters(log);
    QSet<QString> distinct;
    for (const Sent &s : random)
        distinct.insert(s.bits);
    report("random generator, 1 ms, 2 s", random, 2.0, ">= 250 distinct", distinct.size() >= 250);
    form.hide();
    return 0;
}
