// Page "Řetězce": plays a typed text on the display, one character per tick.
#pragma once

#include <QLabel>
#include <QWidget>
#include <vector>

class Form1;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
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
    TextPlayerPage(Form1 &form, QWidget *parent);

    void Text1_Change();
    void HScroll1_Change();
    void Check3_Click();
    void Command6_Click();
    void Timer2_Timer();

    // Reads the text once: its length in characters, a line break counting as CR + LF. The
    // ticks play from this reading; the text cannot change while it plays.
    int measureText();
    void showLength();

    int TextLength = 0;
    int CharactersLeft = 0;

    QPlainTextEdit *Text1 = nullptr;
    QScrollBar *HScroll1 = nullptr;
    ScaleLabel *Label7 = nullptr;
    QPushButton *Check3 = nullptr;
    QPushButton *Command6 = nullptr;
    QPushButton *Check4 = nullptr;
    QPushButton *Command7 = nullptr;
    QLabel *Label8 = nullptr;
    QLabel *Label9 = nullptr;
    QLabel *Label10 = nullptr;
    QLabel *Label6 = nullptr;
    ShapeWidget *Shape5 = nullptr;
    ShapeWidget *Shape4 = nullptr;
    QTimer *Timer2 = nullptr;

private:
    Form1 &m_form;
    std::vector<char32_t> m_text;
};
