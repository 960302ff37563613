// The command line, from process start to exit: `pravlon show A` through a running window and on
// its own, beside a bare Qt program that only starts and exits, taken in turns in the same run.
// Every program is a copy beside the simulated line library in a directory of its own; no
// display server is used by the commands.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <vector>

extern char **environ;

namespace {

double monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

struct Program
{
    QByteArray path;
    std::vector<QByteArray> arguments;
};

std::vector<char *> pointers(std::vector<QByteArray> &list)
{
    std::vector<char *> p;
    for (QByteArray &item : list)
        p.push_back(item.data());
    p.push_back(nullptr);
    return p;
}

pid_t spawn(Program program, std::vector<QByteArray> environment, bool quiet)
{
    std::vector<QByteArray> args{program.path};
    args.insert(args.end(), program.arguments.begin(), program.arguments.end());
    std::vector<char *> argv = pointers(args);
    std::vector<char *> envp = pointers(environment);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return failed ? -1 : pid;
}

// Milliseconds from the spawn to the exit; negative when the program failed.
double timeRun(const Program &program, const std::vector<QByteArray> &environment)
{
    const double start = monotonicMs();
    const pid_t pid = spawn(program, environment, true);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status))
        return -1;
    return monotonicMs() - start;
}

QString installation(const QTemporaryDir &dir)
{
    QFile::copy(QStringLiteral(PRAVLON_PROGRAM), dir.filePath(QStringLiteral("pravlon")));
    QFile::copy(QStringLiteral(SIM_LIBRARY), dir.filePath(QStringLiteral("librscom.so")));
    QFile::copy(QStringLiteral(DATA_INI), dir.filePath(QStringLiteral("Data.ini")));
    QFile::setPermissions(
        dir.filePath(QStringLiteral("Data.ini")), QFile::ReadOwner | QFile::WriteOwner);
    return dir.filePath(QStringLiteral("pravlon"));
}

struct Stats
{
    double median, low, high;
};

Stats stats(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front(), times.back()};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir windowDir, aloneDir, runtime;
    ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
    const QByteArray withWindow = QFile::encodeName(installation(windowDir));
    const QByteArray alone = QFile::encodeName(installation(aloneDir));

    // A terminal's environment without a display server.
    std::vector<QByteArray> environment;
    for (char **e = environ; *e; ++e) {
        const QByteArray entry(*e);
        if (!entry.startsWith("DISPLAY=") && !entry.startsWith("WAYLAND_DISPLAY=")
            && !entry.startsWith("QT_QPA_PLATFORM=") && !entry.startsWith("XDG_RUNTIME_DIR=")
            && !entry.startsWith("PRAVLON_SIM_"))
            environment.push_back(entry);
    }
    environment.push_back("XDG_RUNTIME_DIR=" + QFile::encodeName(runtime.path()));
    std::vector<QByteArray> windowEnvironment = environment;
    windowEnvironment.push_back("QT_QPA_PLATFORM=offscreen");

    const pid_t window = spawn({withWindow, {}}, windowEnvironment, true);
    const Program status{withWindow, {"status"}};
    bool up = false;
    for (int i = 0; i < 200 && !up; ++i) {
        up = !QDir(runtime.path()).entryList(QDir::System).isEmpty()
            && timeRun(status, environment) >= 0;
        if (!up)
            QThread::msleep(50);
    }
    const char *row = "| `pravlon show A` through a running window, process start to exit |";
    if (!up) {
        std::printf("%s the window did not start | MISSED |\n", row);
        kill(window, SIGKILL);
        return 1;
    }

    const Program bare{BARE_QT, {}};
    const Program showThroughWindow{withWindow, {"show", "A"}};
    const Program showAlone{alone, {"show", "A"}};
    const int runs = 21;
    std::vector<double> tBare, tWindow, tAlone;
    for (int i = 0; i < runs; ++i) {
        tBare.push_back(timeRun(bare, environment));
        tWindow.push_back(timeRun(showThroughWindow, environment));
        tAlone.push_back(timeRun(showAlone, environment));
    }
    kill(window, SIGTERM);
    waitpid(window, nullptr, 0);
    for (const auto *times : {&tBare, &tWindow, &tAlone}) {
        if (std::any_of(times->begin(), times->end(), [](double t) { return t < 0; })) {
            std::printf("%s a run failed | MISSED |\n", row);
            return 1;
        }
    }
    const Stats b = stats(tBare), w = stats(tWindow), a = stats(tAlone);
    // The bare program's time says how busy the machine was: the ratio is what the program adds.
    std::printf("%s %.1f ms (%.1f-%.1f, median of %d), %.1fx the bare Qt program (target <= 40 ms) "
                "| %s |\n",
        row, w.median, w.low, w.high, runs, w.median / b.median, w.median <= 40 ? "met" : "MISSED");
    std::printf("| `pravlon show A` on its own (simulated line library), process start to exit | "
                "%.1f ms (%.1f-%.1f), %.1fx the bare Qt program (target <= 80 ms) | %s |\n",
        a.median, a.low, a.high, a.median / b.median, a.median <= 80 ? "met" : "MISSED");
    std::printf("| a bare Qt program (QCoreApplication, starts and exits), the yardstick, same run "
                "| %.1f ms (%.1f-%.1f) | - |\n",
        b.median, b.low, b.high);
    return 0;
}
