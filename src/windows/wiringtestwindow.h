// "Test zapojení": the guided wiring test as a window, modal to the main window. Each step is
// sent through the main window (which stays the one that sends) and asked about; the answers
// lead to the diagnosis, which the user can read, copy and keep.
#pragma once

#include "wiringtest/wiringtest.h"

#include <QDialog>
#include <array>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class DigitPreview;
class HotSpot;
class QSvgRenderer;

// The help window's diagram with the path of one bit drawn over it: the data line through the
// MAX 232 to the 4094, the register's output and the display's pin and segment.
class WiringDiagram : public QWidget
{
    Q_OBJECT
public:
    explicit WiringDiagram(QWidget *parent);
    // -1: no segment; wiringtest::Segments: every segment.
    void setSegment(int segment);
    int segment() const { return m_segment; }
    // What is highlighted, in words.
    static QString pathText(int segment);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    int m_segment = -1;
    QSvgRenderer *m_renderer = nullptr; // made at the first paint
};

class WiringTestWindow : public QDialog
{
    Q_OBJECT
public:
    static const QString Title;
    using Send = std::function<bool(const QString &pattern)>;

    // send: shows a pattern as the segment editor would and says whether all its bits went
    // out; port names the port that carries them.
    WiringTestWindow(Send send, QString port, QWidget *parent);

    const wiringtest::Session &session() const { return m_session; }
    // The findings once every step is answered, else nothing.
    QString diagnosis() const { return m_diagnosis; }

    void answer(const wiringtest::Answer &answer);
    void back();
    void repeat(); // sends the step in front again
    void restart();
    // The answers come from a terminal (`pravlon test`): the window only shows the steps, so
    // that no answer given here lands on a step the terminal asks about.
    void answerInTerminal();

signals:
    // A step was sent, or the diagnosis is shown.
    void progressed();

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    void enterStep();
    void showDiagnosis();
    void chooseOther(); // "Něco jiného": the picture of what lights comes up
    void toggleSeen(int k);
    void confirmOther();

    Send m_send;
    QString m_port;
    wiringtest::Session m_session;
    QString m_diagnosis;
    bool m_started = false;
    bool m_inTerminal = false;

    QStackedWidget *m_pages = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_status = nullptr;
    WiringDiagram *m_diagram = nullptr;
    DigitPreview *m_sent = nullptr;
    DigitPreview *m_seen = nullptr;
    std::array<HotSpot *, wiringtest::Segments> m_spots{};
    QLabel *m_seenCaption = nullptr;
    QPushButton *m_confirm = nullptr;
    QPushButton *m_back = nullptr;
    QPlainTextEdit *m_findings = nullptr;
};
