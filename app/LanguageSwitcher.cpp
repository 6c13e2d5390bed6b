#include "LanguageSwitcher.h"

#include "LumivaneResources.h"

#include <QCoreApplication>

LanguageSwitcher::LanguageSwitcher(QObject *parent) : LanguageSwitcher(defaultDirectories(), parent) {}

LanguageSwitcher::LanguageSwitcher(const QStringList &directories, QObject *parent)
    : QObject(parent),
      directories(directories)
{}

QStringList LanguageSwitcher::defaultDirectories()
{
    return {QString(), QCoreApplication::applicationDirPath(), QLatin1String(LumivaneResources::translationsDirectory)};
}

bool LanguageSwitcher::switchTo(const QString &baseName)
{
    // QTranslator::load empties the translator before it looks for the file, so a failed load
    // straight into the installed translator would drop the current language. Find the file with
    // a scratch translator first.
    for (const QString &directory : directories) {
        QTranslator probe;
        if (!probe.load(baseName, directory))
            continue;
        if (!translator.load(probe.filePath()))
            return false;
        QCoreApplication::removeTranslator(&translator);
        QCoreApplication::installTranslator(&translator);
        return true;
    }
    return false;
}
