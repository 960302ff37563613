// The yardstick for the window's start-up: a bare Qt Widgets program with a window of the main
// window's size, colour and title and one label of Czech text. Built with the program's flags;
// prints, as the program's start-up benchmark does, the clock at its first painted frame and
// its peak memory, then ends.
#include "firstpaint.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FirstPaint stamp;
    QWidget window;
    window.setWindowTitle(QStringLiteral("Pravlon, by VKT"));
    window.setFixedSize(402, 298);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, QColor(89, 0, 0));
    window.setPalette(pal);
    window.setAutoFillBackground(true);
    QLabel label(
        QStringLiteral("Předdefinované znaky, Jednotlivé segmenty, Přehrávání textu"), &window);
    label.setGeometry(8, 8, 386, 20);
    window.show();
    return QApplication::exec();
}
