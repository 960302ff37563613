// The guided wiring test without widgets: the steps (each segment alone, between all dark and all
// lit), what the user answers to each, and the diagnosis those answers lead to, naming pins. The
// window and `pravlon test` both run it.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace wiringtest {

inline constexpr int Segments = 8;

// Where the bit of one segment goes: the 4094's output (Q1 ... Q8) and its pin, and the pin of
// the display that output is wired to, as the help window's diagram draws them.
struct SegmentPath
{
    char letter; // 'a' ... 'h'
    int output; // 1 ... 8
    int registerPin;
    int displayPin;
};
extern const std::array<SegmentPath, Segments> Paths;

struct Step
{
    QString pattern; // as the segment editor sends it: "1" for every lit segment
    int segment; // 0 ... 7 for one segment alone; -1 for all dark, Segments for all lit
    QString title;
};
// All dark, then a ... h each alone, then all lit.
const QList<Step> &steps();
inline constexpr int StepCount = Segments + 2;

inline const QString Question = QStringLiteral("Co svítí na displeji?");

enum class Seen { Exactly, Nothing, Other };
struct Answer
{
    Seen seen = Seen::Exactly;
    QString lit; // Other: "1" for every segment that lights
};
// What lit, as a pattern, for an answer to a step.
QString litPattern(const Step &step, const Answer &answer);
// "abg" -> "11000010"; nothing for anything but letters a ... h.
std::optional<QString> patternOfLetters(const QString &letters);
// The segments of a pattern in words: "a, b, g" or "nic".
QString letters(const QString &pattern);
// A terminal's answer: "p" exactly this, "n" nothing, or the letters that light.
std::optional<Answer> parseAnswer(const QString &typed);
// What a terminal asks at a step (1-based number of all), and says to an answer it cannot read.
QString terminalQuestion(int number, const Step &step);
inline const QString TerminalHint
    = QStringLiteral("Odpovězte p (přesně toto), n (nic), nebo písmeny svítících segmentů a–h.");

// One test in progress: the step in front, the last answer to each step.
class Session
{
public:
    int current() const { return m_current; }
    const Step &step() const { return steps()[m_current]; }
    bool finished() const { return m_current >= steps().size(); }
    // Records the answer to the step in front and moves to the next.
    void answer(const Answer &answer);
    // Back to the previous step, whose answer is given again.
    void back();
    // What lit at each step, for those answered.
    const QList<std::optional<QString>> &seen() const { return m_seen; }

private:
    int m_current = 0;
    QList<std::optional<QString>> m_seen = QList<std::optional<QString>>(steps().size());
};

struct Finding
{
    QString title;
    QString text; // what to check, by pin, and the measurement that tells candidates apart
};
// From what lit at each step (missing where unanswered) to what is wrong, in Czech.
QList<Finding> diagnose(const QList<std::optional<QString>> &seen);
// The findings as one plain text, for the window, the clipboard and the terminal.
QString diagnosisText(const QList<Finding> &findings);

} // namespace wiringtest
