// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QStringList>
#include <QTranslator>

// Owns the program's one translator and loads a translation file into it on request. The file
// <baseName>.qm is looked up in the working directory, then beside the executable, then among the
// built-in resources; the first that loads wins. A second translator carries Qt's own translation
// for Qt's dialogs and buttons (file dialog, Yes/No/OK, progress dialog).
class LanguageSwitcher : public QObject
{
    Q_OBJECT

public:
    explicit LanguageSwitcher(QObject *parent = nullptr);
    // Looks in these directories, in order (an empty entry is the working directory).
    explicit LanguageSwitcher(const QStringList &directories, QObject *parent = nullptr);

    static QStringList defaultDirectories();

    // Loads the translation and installs the translator in the application, together with Qt's
    // translation qtBaseName (e.g. "qtbase_zh_CN") from Qt's translations directory; without one,
    // or when that file is missing, Qt's texts are its English ones. When no directory has a
    // loadable <baseName>.qm nothing changes, not even either translator's current contents.
    bool switchTo(const QString &baseName, const QString &qtBaseName = QString());

    // The file the translator holds now, empty before the first successful switch.
    QString currentFile() const { return translator.filePath(); }

private:
    const QStringList directories;
    QTranslator translator;
    QTranslator qtTranslator;
};
