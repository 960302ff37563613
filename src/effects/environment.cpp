#include "effects/environment.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QProcess>
#include <QTranslator>

Environment Environment::standard(const QString &programDirectory)
{
    Environment env;
    env.programDirectory = programDirectory;
    env.lines = std::make_shared<ModuleLineLibrary>(programDirectory);
    env.messages = std::make_shared<QtMessageSink>();
    env.random = std::make_shared<ClockSeededRandom>();
    env.beep = [] { QApplication::beep(); };
    env.startProgram = [](const QString &program, const QStringList &arguments) {
        return QProcess::startDetached(program, arguments);
    };
    return env;
}

bool installCzechQtTexts()
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(
            QStringLiteral("qtbase_cs"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
