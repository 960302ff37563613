// Timer cadence in the program with the simulated line module: the module keeps the time of
// every TXD call in memory (no file, no system call: a line that costs the tick nothing), and
// the characters and their intervals are read back from it.
#include "controls.h"
#include "mainwindow/form1.h"

#include <QApplication>
#include <QElapsedTimer>
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
#include <dlfcn.h>
#include <vector>

namespace {

struct Sent
{
    qint64 ns;
    QString bits;
};

// Groups the recorded TXD calls into characters of eight bits, and empties the record.
QList<Sent> readCharacters(const QString &module)
{
    using Record = int32_t (*)(int64_t *, int32_t *, int32_t);
    void *handle = dlopen(QFile::encodeName(module).constData(), RTLD_NOW | RTLD_NOLOAD);
    const auto record = handle ? reinterpret_cast<Record>(dlsym(handle, "SIMRECORD")) : nullptr;
    QList<Sent> sent;
    if (!record)
        return sent;
    std::vector<int64_t> ns(1 << 22);
    std::vector<int32_t> levels(ns.size());
    const int32_t n = record(ns.data(), levels.data(), int32_t(ns.size()));
    dlclose(handle);
    Sent current{0, {}};
    for (int32_t i = 0; i < n; ++i) {
        if (current.bits.isEmpty())
            current.ns = ns[i];
        current.bits += QChar(u'0' + levels[i]);
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

// The gaps between characters, sorted, in milliseconds.
QList<double> gapsOf(const QList<Sent> &sent)
{
    QList<double> gaps;
    for (int i = 1; i < sent.size(); ++i)
        gaps << (sent[i].ns - sent[i - 1].ns) / 1e6;
    std::sort(gaps.begin(), gaps.end());
    return gaps;
}

double percentile(const QList<double> &sorted, int p)
{
    return sorted.isEmpty()
        ? 0
        : sorted[std::min<qsizetype>(sorted.size() - 1, sorted.size() * p / 100)];
}

// One source at the 1 ms setting: the rate, the spread of the gaps (no catch-up bursts: a gap
// is the interval, not half of it after a late tick) and the processor time per character
// against its target for this platform.
void reportFast(const QString &source, const QList<Sent> &sent, double seconds, double cpuSeconds,
    const QString &extra = {}, const QString &extraTarget = {}, bool extraMet = true)
{
    const QString platform = QGuiApplication::platformName();
    const double cpuTarget = platform == u"offscreen" ? 100 : 150;
    const QList<double> gaps = gapsOf(sent);
    const double rate = sent.size() / seconds;
    const double cpu = sent.isEmpty() ? 0 : cpuSeconds * 1e6 / sent.size();
    const double p1 = percentile(gaps, 1), p99 = percentile(gaps, 99);
    const bool met = rate >= 970 && p1 >= 0.5 && p99 <= 1.5 && cpu <= cpuTarget && extraMet;
    std::printf("| %s, 1 ms (%s) | %.0f chars/s, gaps p1 %.3f / median %.3f / p99 %.3f ms, %.0f us "
                "CPU/char%s (target >= 970 chars/s, gaps 0.5-1.5 ms, <= %.0f us%s) | %s |\n",
        qPrintable(source), qPrintable(platform), rate, p1, percentile(gaps, 50), p99, cpu,
        qPrintable(extra.isEmpty() ? QString() : QStringLiteral(", ") + extra), cpuTarget,
        qPrintable(extraTarget.isEmpty() ? QString() : QStringLiteral(", ") + extraTarget),
        met ? "met" : "MISSED");
}

// Runs a source for a span and returns what it sent and the processor time it took.
template <typename Start, typename Stop>
QList<Sent> play(const QString &module, double span, double &cpuSeconds, Start start, Stop stop)
{
    readCharacters(module); // empties the record
    start();
    const std::clock_t cpu = std::clock();
    run(int(span * 1000));
    cpuSeconds = double(std::clock() - cpu) / CLOCKS_PER_SEC;
    stop();
    QList<Sent> sent = readCharacters(module);
    if (!sent.isEmpty())
        sent.removeLast(); // a tick may be cut by the stop
    return sent;
}

// The player at 1 ms over a line as slow as a USB adapter (1 ms per line change, 24 a
// character): characters one line's time and one interval apart (no catch-up bursts), no ticks
// piled up to come after the stop, and the window's own timers running between characters (a
// 5 ms probe timer's lateness stays within about one character).
template <typename Start, typename Stop>
void slowLine(const QString &module, double seconds, Start start, Stop stop)
{
    void *handle = dlopen(QFile::encodeName(module).constData(), RTLD_NOW | RTLD_NOLOAD);
    const auto delay
        = handle ? reinterpret_cast<void (*)(int32_t)>(dlsym(handle, "SIMDELAY")) : nullptr;
    const auto dtr = handle ? reinterpret_cast<void (*)(int32_t)>(dlsym(handle, "DTR")) : nullptr;
    if (!delay || !dtr)
        return;
    delay(1000);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 48; ++i)
        dtr(0);
    const double character = clock.nsecsElapsed() / 2e6; // 24 line changes, in ms
    QList<double> lateness;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(5);
    qint64 due = 0;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        lateness << (clock.nsecsElapsed() - due) / 1e6;
        due = clock.nsecsElapsed() + 5'000'000;
    });
    double cpu = 0;
    // Started with the player, after the record is emptied, which takes a while.
    const QList<Sent> sent = play(
        module, seconds, cpu,
        [&] {
            start();
            due = clock.nsecsElapsed() + 5'000'000;
            probe.start();
        },
        stop);
    probe.stop();
    run(200);
    const int after = int(readCharacters(module).size());
    delay(0);
    dlclose(handle);
    const QList<double> gaps = gapsOf(sent);
    std::sort(lateness.begin(), lateness.end());
    const double p1 = percentile(gaps, 1), p99 = percentile(gaps, 99),
                 late = percentile(lateness, 99);
    const bool met = p1 >= character && p99 <= character + 3 && after == 0 && late <= character + 6;
    std::printf("| text player, 1 ms, slow line (%s) | line %.1f ms a character; gaps p1 %.1f / "
                "median %.1f / p99 %.1f ms, %d sent after the stop, probe late p99 %.1f ms "
                "(target gaps from the line's time to 3 ms more, none after the stop, probe "
                "within the line's time + 6 ms) | %s |\n",
        qPrintable(QGuiApplication::platformName()), character, p1, percentile(gaps, 50), p99,
        after, late, met ? "met" : "MISSED");
}

} // namespace

int main(int argc, char **argv)
{
    // Headless unless told otherwise (make bench runs it on Xvfb too).
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    const QString module = dir.filePath(QStringLiteral("librscom.so"));
    QFile::copy(QStringLiteral(SIM_LIBRARY), module);
    QFile::copy(QStringLiteral(DATA_INI), dir.filePath(QStringLiteral("Data.ini")));
    qputenv("PRAVLON_SIM_RECORD", "1");
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? atof(argv[1]) : 3.0;

    Form1 form(Environment::standard(dir.path()));
    form.Form_Load();
    form.show();
    auto *text = control<QPlainTextEdit>(&form, "Text1");
    auto *playButton = control<QPushButton>(&form, "Check3");
    auto *speed = control<QScrollBar>(&form, "HScroll1");
    auto *generate = control<QPushButton>(&form, "Check2");

    control<QTabWidget>(&form, "SSTab1")->setCurrentIndex(int(Page::Player));
    // Every character differs from the one before, so every tick repaints the preview.
    text->setPlainText(QStringLiteral("ab").repeated(100));
    control<QPushButton>(&form, "Check4")->setChecked(true);
    double cpuSeconds = 0;
    const auto startPlay = [&] { playButton->setChecked(true); };
    const auto stopPlay = [&] { playButton->setChecked(false); };
    speed->setValue(1);
    QList<Sent> sent = play(module, seconds, cpuSeconds, startPlay, stopPlay);
    reportFast(QStringLiteral("text player"), sent, seconds, cpuSeconds);
    slowLine(module, seconds, startPlay, stopPlay);

    speed->setValue(350);
    const double slow = std::max(seconds, 4.0);
    sent = play(module, slow, cpuSeconds, startPlay, stopPlay);
    const double median = percentile(gapsOf(sent), 50);
    std::printf("| text player, 350 ms (%s) | median %.3f ms (target 350 +- 1 ms) | %s |\n",
        qPrintable(QGuiApplication::platformName()), median,
        std::abs(median - 350) <= 1 ? "met" : "MISSED");

    control<QTabWidget>(&form, "SSTab1")->setCurrentIndex(int(Page::Editor));
    control<QScrollBar>(&form, "VScroll1")->setValue(2000);
    sent = play(
        module, seconds, cpuSeconds, [&] { generate->setChecked(true); },
        [&] { generate->setChecked(false); });
    QSet<QString> distinct;
    for (const Sent &s : sent)
        distinct.insert(s.bits);
    reportFast(QStringLiteral("random generator"), sent, seconds, cpuSeconds,
        QStringLiteral("%1 distinct").arg(distinct.size()), QStringLiteral(">= 250 distinct"),
        distinct.size() >= 250);
    form.hide();
    return 0;
}
