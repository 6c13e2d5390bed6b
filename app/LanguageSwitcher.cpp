// SPDX-License-Identifier: GPL-3.0-or-later
#include "LanguageSwitcher.h"

#include "LumivaneResources.h"

#include <QCoreApplication>
#include <QLibraryInfo>

LanguageSwitcher::LanguageSwitcher(QObject *parent) : LanguageSwitcher(defaultDirectories(), parent) {}

LanguageSwitcher::LanguageSwitcher(const QStringList &directories, QObject *parent)
    : QObject(parent),
      directories(directories)
{}

QStringList LanguageSwitcher::defaultDirectories()
{
    return {QString(), QCoreApplication::applicationDirPath(), QLatin1String(LumivaneResources::translationsDirectory)};
}

bool LanguageSwitcher::switchTo(const QString &baseName, const QString &qtBaseName)
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
        // Qt's dialogs follow: Qt's translation for this language, or none (English) when there is
        // no name or no such file.
        QCoreApplication::removeTranslator(&qtTranslator);
        if (!qtBaseName.isEmpty() && qtTranslator.load(qtBaseName, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&qtTranslator);
        return true;
    }
    return false;
}
