// Page "Řetězce": plays a typed text on the display, one character per tick.
#pragma once

#include <QLabel>
#include <QWidget>
#include <vector>

class PageHost;
class QPlainTextEdit;
class QPushButton;
class SpeedSlider;
class QTimer;
class ShapeWidget;

// The scale under the speed slider: "Min.", nine tick marks, "Max.".
class ScaleLabel : public QLabel
{
    Q_OBJECT
public:
    ScaleLabel(QWidget *parent, const QString &name);

protected:
    void paintEvent(QPaintEvent *) override;
};

class TextPlayerPage : public QWidget
{
    Q_OBJECT
public:
    TextPlayerPage(PageHost &host, QWidget *parent);

    void Text1_Change();
    void HScroll1_Change();
    void Check3_Click();
    void Command6_Click();
    void Timer2_Timer();

    // What a page switch asks of the player, in this order.
    void stop(); // no further tick; "Play" stays as it is
    void syncPauseButton(); // "Pauza" usable exactly while "Play" is down
    void rewind(); // the next tick plays the first character; the length label is up to date

    // What a command asks of the player: the text in the box, the speed in ms per character,
    // "Opakovat" as loop says, and Play pressed.
    void play(const QString &text, int ms, bool loop);
    void endPlay(); // Play released, as Stop does
    bool isPlaying() const; // Play is down
    bool isTicking() const; // down and not paused

signals:
    // "Znaky": the key chart belongs to the main window.
    void keyChartRequested();
    // Play was released: the play ended, or was stopped.
    void playEnded();

private:
    // Reads the text once: its length in characters, a line break counting as CR + LF. The
    // ticks play from this reading; the text cannot change while it plays.
    int measureText();
    void showLength();

    PageHost &m_host;
    std::vector<char32_t> m_text;
    int TextLength = 0;
    int CharactersLeft = 0;
    QPlainTextEdit *Text1 = nullptr;
    SpeedSlider *HScroll1 = nullptr;
    QPushButton *Check3 = nullptr;
    QPushButton *Command6 = nullptr;
    QPushButton *Check4 = nullptr;
    QLabel *Label8 = nullptr;
    QLabel *Label9 = nullptr;
    QLabel *Label10 = nullptr;
    QLabel *Label6 = nullptr;
    ShapeWidget *Shape4 = nullptr;
    QTimer *Timer2 = nullptr;
};
