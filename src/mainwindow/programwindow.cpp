#include "mainwindow/programwindow.h"

#include "mainwindow/commandserver.h"
#include "mainwindow/form1.h"

#include "ui/look.h"

#include <QApplication>
#include <QTimer>

namespace {

// Runs `then` once the window has painted its first frame.
class AfterFirstFrame : public QObject
{
public:
    AfterFirstFrame(QWidget *window, std::function<void()> then)
        : QObject(window)
        , m_then(std::move(then))
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            QTimer::singleShot(0, parent(), m_then);
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_then;
};

} // namespace

int runProgramWindow(const QString &programDirectory)
{
    QApplication::setApplicationName(QStringLiteral("Pravlon"));
    // Lets the desktop match the window to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("pravlon"));
    installCzechQtTexts();

    // The program ends with its main window, whatever other windows are open (help, the key
    // chart), and only once that window has sent its last character.
    QApplication::setQuitOnLastWindowClosed(false);
    const Environment environment = Environment::standard(programDirectory);
    Form1 form(environment);
    QObject::connect(&form, &Form1::ended, qApp, [] { QCoreApplication::exit(0); });
    // Commands from a shell; those that come while the window starts wait for it.
    CommandServer commands(form, environment.lines);
    commands.listen(environment.programDirectory);
    form.Form_Load();
    commands.setReady();
    // The icon needs the SVG icon engine, which nothing in the first frame does.
    new AfterFirstFrame(&form, [&form] { form.setWindowIcon(programIcon()); });
    form.show();
    return QApplication::exec();
}
