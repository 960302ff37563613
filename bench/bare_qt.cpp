// The yardstick for the command line's start-up: a Qt program that starts and exits.
#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    return 0;
}
