// Page "Jednotlivé seg.": the large digit whose segments are switched one by one, the button
// that saves the character on show, and the random generator.
#pragma once

#include <QWidget>
#include <array>

class PageHost;
class RandomSource;
class QLabel;
class QPushButton;
class QScrollBar;
class QTimer;
class SvgPicture;
class ShapeWidget;

class SegmentEditorPage : public QWidget
{
    Q_OBJECT
public:
    SegmentEditorPage(PageHost &host, RandomSource &random, QWidget *parent);

    // Hot spot i (0 ... 7: Image3 ... Image10) toggles segment i + 1.
    void Image_Click(int i);
    void Command5_Click();
    void Check2_Click();
    void Timer1_Timer();
    void VScroll1_Change();

    // The eight bits of a number 0 ... 255, weight 128 first.
    static QString patternOfNumber(int number);

signals:
    // "Uložit znak": the save-character dialog belongs to the main window.
    void saveRequested();

private:
    void drawRandom(QLabel *label, const QString &prefix);

    PageHost &m_host;
    RandomSource &m_random;
    int RandomNumber = 0;
    std::array<SvgPicture *, 8> m_overlays{}; // ImageA1 ... ImageH1
    QLabel *Label3 = nullptr;
    QPushButton *Check2 = nullptr;
    QLabel *Label4 = nullptr;
    QScrollBar *VScroll1 = nullptr;
    QLabel *Label5 = nullptr;
    ShapeWidget *Shape2 = nullptr;
    QTimer *Timer1 = nullptr;
};
