// Renders every window to PNG files in the given directory, for looking at them.
#include "fakes.h"
#include "sources/segmenteditor.h"
#include "usercharacters/form2.h"
#include "windows/form3.h"
#include "windows/form4.h"
#include "windows/form5.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    TestProgram program;
    auto form = program.start();
    form->show();
    QApplication::processEvents();
    const auto save = [&](QWidget *w, const QString &name) {
        w->show();
        QApplication::processEvents();
        if (!w->grab().save(QDir(out).filePath(name + QStringLiteral(".png"))))
            qWarning("cannot save %s", qPrintable(name));
    };
    form->KOdeslani = QStringLiteral("11101110");
    form->ShowCharacter();
    save(form.get(), QStringLiteral("form1-page1"));
    form->SSTab1->setCurrentIndex(1);
    for (int i : {0, 1, 6, 7})
        form->page2->Image_Click(i);
    save(form.get(), QStringLiteral("form1-page2"));
    form->SSTab1->setCurrentIndex(2);
    save(form.get(), QStringLiteral("form1-page3"));
    Form2 dialog(*form);
    save(&dialog, QStringLiteral("form2"));
    Form3 about(form->environment());
    save(&about, QStringLiteral("form3"));
    Form4 chart;
    save(&chart, QStringLiteral("form4"));
    Form5 help;
    save(&help, QStringLiteral("form5"));
    return 0;
}
