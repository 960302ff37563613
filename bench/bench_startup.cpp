// Start-up: from process start to the first painted frame of the main window, and the peak
// memory, beside a bare Qt Widgets program with a window of the same size, colour and title
// and one label (bare_window.cpp), both started in turn on the same display. Each child prints
// the monotonic clock at its first frame; the parent takes the clock just before it spawns it.
// Rounds of runs alternate between the two, so that the machine's other load weighs on both.
#include "firstpaint.h"
#include "mainwindow/programwindow.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

double monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// One start: milliseconds to the first frame and the child's peak resident memory in MB.
bool measure(std::vector<char *> args, double &ms, double &mb)
{
    int out[2];
    if (pipe(out) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    args.push_back(nullptr);
    pid_t pid = 0;
    const double start = monotonicMs();
    const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    char buf[128] = {};
    ssize_t got = 0;
    ssize_t n = 0;
    while (got < ssize_t(sizeof buf) - 1 && (n = read(out[0], buf + got, sizeof buf - 1 - got)) > 0)
        got += n;
    close(out[0]);
    int status = 0;
    if (spawned == 0)
        waitpid(pid, &status, 0);
    double shown = 0;
    if (spawned != 0 || status != 0 || std::sscanf(buf, "%lf %lf", &shown, &mb) != 2)
        return false;
    ms = shown - start;
    return true;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 2 && std::strcmp(argv[1], "--child") == 0) {
        QApplication app(argc, argv);
        FirstPaint stamp;
        return runProgramWindow(QString::fromLocal8Bit(argv[2]));
    }
    // The program's directory: the simulated line library and the shipped Data.ini.
    QTemporaryDir dir;
    QFile::copy(QStringLiteral(SIM_LIBRARY), dir.filePath(QStringLiteral("librscom.so")));
    QFile::copy(QStringLiteral(DATA_INI), dir.filePath(QStringLiteral("Data.ini")));
    QByteArray directory = dir.path().toLocal8Bit();
    char self[] = "/proc/self/exe";
    char childArg[] = "--child";
    char bare[] = BARE_WINDOW;
    const int rounds = 3;
    const int runs = 5;
    std::vector<double> timeRatios, memoryRatios, times, peaks, bareTimes, barePeaks;
    for (int round = 0; round < rounds; ++round) {
        std::vector<double> t, m, bt, bm;
        for (int i = 0; i < runs; ++i) {
            double ms = 0, mb = 0, bareMs = 0, bareMb = 0;
            if (!measure({self, childArg, directory.data()}, ms, mb)
                || !measure({bare}, bareMs, bareMb)) {
                std::printf("| start-up to first frame | a program did not start | MISSED |\n");
                return 1;
            }
            t.push_back(ms);
            m.push_back(mb);
            bt.push_back(bareMs);
            bm.push_back(bareMb);
        }
        times.push_back(median(t));
        peaks.push_back(median(m));
        bareTimes.push_back(median(bt));
        barePeaks.push_back(median(bm));
        timeRatios.push_back(times.back() / bareTimes.back());
        memoryRatios.push_back(peaks.back() / barePeaks.back());
    }
    const char *platform = std::getenv("QT_QPA_PLATFORM");
    const double timeRatio = median(timeRatios);
    const double memoryRatio = median(memoryRatios);
    std::printf(
        "| start-up to first frame (%s), median of %d runs, %d alternating rounds | %.0f ms "
        "against %.0f ms of the bare window: ratio %.2f (rounds %.2f %.2f %.2f; target <= "
        "1.2) | %s |\n",
        platform ? platform : "default", runs, rounds, median(times), median(bareTimes), timeRatio,
        timeRatios[0], timeRatios[1], timeRatios[2], timeRatio <= 1.2 ? "met" : "MISSED");
    std::printf("| peak memory after start-up (%s) | %.1f MB against %.1f MB of the bare window: "
                "ratio %.2f (rounds %.2f %.2f %.2f; target <= 1.2) | %s |\n",
        platform ? platform : "default", median(peaks), median(barePeaks), memoryRatio,
        memoryRatios[0], memoryRatios[1], memoryRatios[2], memoryRatio <= 1.2 ? "met" : "MISSED");
    return 0;
}
