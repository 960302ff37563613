// Line requests that reach the operating system per character, counted in the line module's
// level record over the shipped character set and random patterns.
#include "characterset/characterset.h"
#include "display/transfer.h"
#include "linestate.h"

#include <cstdio>
#include <random>

namespace {

class CountingNative : public rscom::NativeLines
{
public:
    long requests = 0;
    bool setDtr(bool) override { return ++requests; }
    bool setBreak(bool) override { return ++requests; }
};

// The module's exported functions over the counting native side.
class ModuleLines : public LineLibrary
{
public:
    explicit ModuleLines(rscom::LineState &state)
        : m_state(state)
    { }
    int16_t OPENCOM(const QByteArray &) override { return 1; }
    void DTR(int32_t level) override { m_state.setDtr(level != 0); }
    void TXD(int32_t level) override { m_state.setTxd(level != 0); }

private:
    rscom::LineState &m_state;
};

} // namespace

int main()
{
    std::array<QString, CharacterSlotCount> patterns;
    std::array<QString, UserCharacterCount> names;
    characterset::load(QStringLiteral(DATA_INI), patterns, names, nullptr);
    QStringList mix(patterns.begin(), patterns.end());
    std::mt19937 gen(7);
    for (int i = 0; i < 1000; ++i) {
        QString p;
        for (int k = 0; k < 8; ++k)
            p += gen() & 1 ? u'1' : u'0';
        mix << p;
    }

    CountingNative native;
    rscom::LineState state;
    state.reset(&native, true);
    ModuleLines lines(state);
    long total = 0;
    long worst = 0;
    long bound = 0; // 16 clock edges plus the TxD level changes, the stated target
    bool prev = state.txdBreak();
    for (const QString &p : mix) {
        const long before = native.requests;
        transferPattern(lines, p);
        const long used = native.requests - before;
        long changes = 0;
        for (int k = 8; k >= 1; --k) {
            const bool bit = p[k - 1] == u'1';
            changes += bit != prev;
            prev = bit;
        }
        total += used;
        worst = std::max(worst, used);
        bound = std::max(bound, used - (16 + changes));
    }
    std::printf("| line requests per character | %.2f mean, %ld worst (target <= 24) | %s |\n",
        double(total) / mix.size(), worst,
        bound <= 0 && worst <= 24 ? "met: never above 16 edges + TxD changes" : "MISSED");
    return 0;
}
