// The main window: the program itself. It holds the pattern on show and the state the pages
// share, the left column (preview, ports, Help, About), the tab control, start-up, shutdown and
// the switching between pages.
#pragma once

#include "command/commandwindow.h"
#include "display/portdetails.h"
#include "display/portselection.h"
#include "effects/environment.h"
#include "mainwindow/tabcontrol.h"
#include "sources/pagehost.h"

#include <QPointer>
#include <QWidget>
#include <array>

class QLabel;
class QPushButton;
class QRadioButton;
class QWindow;
class DigitPreview;
class ClickLabel;
class CharacterButtonsPage;
class SegmentEditorPage;
class TextPlayerPage;
class Form4;
class Form5;
class QTimer;
class WiringTestWindow;

class Form1 : public QWidget, public PageHost, public command::CommandWindow
{
    Q_OBJECT
public:
    explicit Form1(Environment environment, QWidget *parent = nullptr);
    ~Form1() override;

    void ShowCharacter() override;
    void Form_Load();
    void Form_Activate();
    void SSTab1_Click();
    void Check1_Click(bool checked);
    void Label2_Click();
    void Command2_Click(); // save-character dialog
    void Command3_Click(); // help
    void Command4_Click(); // About
    void Command7_Click(); // key chart

    // The key chart and the help window, once they have been opened.
    Form4 *keyChart() const;
    Form5 *helpWindow() const;

    // What the commands ask of the window.
    bool sends() const override;
    QString portName() const override;
    QString patternShown() const override;
    QString patternToSend() const override;
    void showCharacter(const command::ShowTarget &target) override;
    void showPattern(const QString &pattern) override;
    void play(const QString &text, int ms, bool loop) override;
    void stop() override;
    command::PlayState playState() const override;
    bool portOffered(int n) const override;
    bool portPicked(int n) const override;
    void pickPort(int n) override;
    void whenPlayEnds(QObject *receiver, std::function<void()> ended) override;
    void whenClosed(QObject *receiver, std::function<void()> closed) override;
    bool testRunning() const override { return wiringTest() != nullptr; }
    bool openTest(QObject *receiver, command::TestEvents events) override;
    void answerTest(const wiringtest::Answer &answer) override;
    void closeTest() override;

    // "Test zapojení" (F2, the preview's and the help diagram's context menus): opens the
    // wiring test, modal to this window, or says which port states stand in its way. While it
    // runs, this window sends only the test's steps; when it closes, the pattern it had.
    void openWiringTest();
    WiringTestWindow *wiringTest() const;
    bool wiringTestRunning() const { return wiringTest() != nullptr; }

    static const QString Caption;
    static const QString PageCaptions[3];

signals:
    // The window has closed and sent its last character: the program ends.
    void ended();

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    void buildLeftColumn();
    void applyPageRule(const QString &caption);
    void LoadCharacterSet();
    void Form_Unload();
    void focusWindowChanged(QWindow *window);
    MessageAnswer message(
        const QString &title, const QString &text, MessageIcon icon, const QString &details = {});
    PortReports portReports() const;
    std::array<bool, PortSelection::Count> offeredPorts() const;
    QString noPortDetails() const;
    QString portLabelDetails(int n) const;
    void refreshPortToolTips();
    bool sendForTest(const QString &pattern);
    void endWiringTest();

    // Controls; like every window's, found by their names from outside.
    TabControl *SSTab1 = nullptr;
    DigitPreview *Image1 = nullptr; // with ImageA ... ImageH
    QLabel *Label1 = nullptr;
    ClickLabel *Label2 = nullptr;
    std::array<QRadioButton *, PortSelection::Count> Option{}; // Option1 ... Option5
    QPushButton *Command3 = nullptr;
    QPushButton *Command4 = nullptr;
    CharacterButtonsPage *page1 = nullptr;
    SegmentEditorPage *page2 = nullptr;
    TextPlayerPage *page3 = nullptr;

    Environment m_env;
    PortSelection m_ports;
    bool DecimalPoint = false;
    qint64 m_lastCharacterNs = -1; // the last character's time on the line; -1: none sent yet
    bool m_closing = false;
    int m_activations = 0;
    QPointer<QWindow> m_lastFocusWindow;
    QPointer<Form4> m_keyChart;
    QPointer<Form5> m_help;
    QPointer<WiringTestWindow> m_wiringTest;
    QString m_beforeTest; // the pattern on show when the test opened
    bool m_testLeftFirstPage = false;
    QList<QTimer *> m_pausedTimers;
    bool m_sentWhole = false; // whether the last ShowCharacter put all eight bits out
};
