// In-process costs: one character's transfer against 24 bare calls through the same interface,
// one text-player tick for short and very long texts, a tick with its repaint, and one load of
// the character set (at every activation of the window) from the shipped file and a 100 MB one.
#include "controls.h"
#include "display/transfer.h"
#include "mainwindow/form1.h"
#include "sources/textplayer.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// Does nothing but keep the calls from being optimised away.
class NullLines : public LineLibrary
{
public:
    int16_t OPENCOM(const QByteArray &) override { return 1; }
    void DTR(int32_t level) override { sink = sink + level; }
    void TXD(int32_t level) override { sink = sink + level; }
    volatile int sink = 0;
};

// A message box would stop the measurement; any that comes is counted and answered.
class SilentMessages : public MessageSink
{
public:
    MessageAnswer show(QWidget *, const QString &, const QString &, MessageIcon, MessageButtons,
        const QString &) override
    {
        ++shown;
        return MessageAnswer::Ok;
    }
    int shown = 0;
};

const QString Patterns[] = {QStringLiteral("11111100"), QStringLiteral("01100000"),
    QStringLiteral("10010011"), QStringLiteral("01010101")};

void BM_BareCalls(benchmark::State &state)
{
    NullLines lines;
    // Hidden from the optimiser, so that the calls stay virtual as they are in the transfer.
    LineLibrary *iface = &lines;
    benchmark::DoNotOptimize(iface);
    int i = 0;
    for (auto _ : state) {
        const QString &p = Patterns[i++ & 3];
        for (int k = 8; k >= 1; --k) {
            iface->DTR(1);
            iface->TXD(p[k - 1] == u'1');
            iface->DTR(0);
        }
    }
}
BENCHMARK(BM_BareCalls);

void BM_Transfer(benchmark::State &state)
{
    NullLines lines;
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(transferPattern(lines, Patterns[i++ & 3]));
}
BENCHMARK(BM_Transfer);

// The program with a null line library, the text player's page in front, playing `text` in a
// loop.
struct Player
{
    QTemporaryDir dir;
    std::unique_ptr<Form1> form;

    explicit Player(const QString &text)
    {
        Environment env;
        env.programDirectory = dir.path();
        env.lines = std::make_shared<NullLines>();
        QFile::copy(QStringLiteral(DATA_INI), dir.filePath(QStringLiteral("Data.ini")));
        env.messages = std::make_shared<SilentMessages>();
        env.random = std::make_shared<ClockSeededRandom>();
        env.beep = [] {};
        env.startProgram = [](const QString &, const QStringList &) { return false; };
        form = std::make_unique<Form1>(env);
        form->Form_Load();
        control<QTabWidget>(form.get(), "SSTab1")->setCurrentIndex(int(Page::Player));
        control<QPlainTextEdit>(form.get(), "Text1")->setPlainText(text);
        control<QPushButton>(form.get(), "Check4")->setChecked(true);
        control<QPushButton>(form.get(), "Check3")->setChecked(true);
    }
};

void BM_PlayerTick(benchmark::State &state)
{
    // Lines of 80 characters (a line break counts two), as typed text would come.
    QString text;
    const QString line = QString(78, u'a') + QLatin1Char('\n');
    while (text.size() + 2 <= state.range(0))
        text += text.size() + 80 <= state.range(0) ? line
                                                   : QString(state.range(0) - text.size(), u'a');
    Player player(text);
    for (auto _ : state)
        control<TextPlayerPage>(player.form.get(), "Page3")->Timer2_Timer();
}
BENCHMARK(BM_PlayerTick)->Arg(10)->Arg(10000)->Arg(1000000);

void BM_LoadCharacterSet(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Data.ini"));
    QFile::copy(QStringLiteral(DATA_INI), path);
    if (state.range(0) > 0) {
        // The character set followed by a hundred megabytes of one long line.
        QFile file(path);
        file.open(QIODevice::Append);
        const QByteArray block(1 << 20, 'x');
        for (int i = 0; i < state.range(0); ++i)
            file.write(block);
    }
    std::array<QString, CharacterSlotCount> patterns;
    std::array<QString, UserCharacterCount> names;
    for (auto _ : state)
        characterset::load(path, patterns, names, nullptr);
}
BENCHMARK(BM_LoadCharacterSet)->Arg(0)->Arg(100)->Unit(benchmark::kMicrosecond);

// A tick with the repaint it causes, on the shown window: every character differs from the
// one before, so the preview's pictures are painted every time.
void BM_PaintedTick(benchmark::State &state)
{
    Player player(QStringLiteral("ab").repeated(100));
    player.form->show();
    QApplication::processEvents();
    for (auto _ : state) {
        control<TextPlayerPage>(player.form.get(), "Page3")->Timer2_Timer();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_PaintedTick);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
