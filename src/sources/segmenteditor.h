// Page "Jednotlivé seg.": the large digit whose segments are switched one by one, the button
// that saves the character on show, and the random generator.
#pragma once

#include <QWidget>
#include <array>

class Form1;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QTimer;
class SvgPicture;
class HotSpot;
class ShapeWidget;

class SegmentEditorPage : public QWidget
{
    Q_OBJECT
public:
    SegmentEditorPage(Form1 &form, QWidget *parent);

    // Hot spot i (0 ... 7: Image3 ... Image10) toggles segment i + 1.
    void Image_Click(int i);
    void Command5_Click();
    void Check2_Click();
    void Timer1_Timer();
    void VScroll1_Change();

    // The eight bits of a number 0 ... 255, weight 128 first.
    static QString patternOfNumber(int number);

    int RandomNumber = 0;

    SvgPicture *Image2 = nullptr;
    std::array<SvgPicture *, 8> overlays{}; // ImageA1 ... ImageH1
    std::array<HotSpot *, 8> hotSpots{}; // Image3 ... Image10
    QPushButton *Command2 = nullptr;
    QPushButton *Command5 = nullptr;
    QLabel *Label3 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QPushButton *Check2 = nullptr;
    QLabel *Label4 = nullptr;
    QScrollBar *VScroll1 = nullptr;
    QLabel *Label5 = nullptr;
    ShapeWidget *Shape3 = nullptr;
    ShapeWidget *Shape2 = nullptr;
    QTimer *Timer1 = nullptr;

private:
    void drawRandom(QLabel *label, const QString &prefix);

    Form1 &m_form;
};
