// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "UserDialogs.h"

#include <QList>
#include <QPair>
#include <QStringList>

// Dialogs for tests: answers come from queues the test fills, and everything that would have
// been shown is recorded. An unexpected question or file dialog (empty queue) is recorded and
// answered No / cancelled, so a test sees it instead of hanging.
class ScriptedUserDialogs : public UserDialogs
{
public:
    struct Shown
    {
        enum Kind {
            Information,
            Question,
            SaveFile,
            Print,
            Progress
        } kind;
        QString title; // caption for a save dialog, label for a progress dialog
        QString text;  // proposed name for a save dialog, cancel text for a progress dialog
        QWidget *parent = nullptr;
        QStringList filters; // a save dialog's name filters
        int maximum = 0;
        QString informative; // a message's informative text (a file's path)
        QString detailed;    // a message's detailed text (a file's error)
    };

    struct ProgressLog
    {
        QList<int> values;
        bool hidden = false;
        bool destroyed = false;
        bool cancelClicked = false;
    };

    void setNextAnswer(bool yes) { answers.append(yes); }
    // The next save dialog returns name, saved with the name filter of that index selected.
    void setNextFileName(const QString &name, int filterIndex = 0) { fileNames.append({name, filterIndex}); }
    // The next print dialog is accepted with the printer writing a PDF file of this name.
    void setNextPrintFile(const QString &name) { printFiles.append(name); }
    // The next progress dialog reports a cancel once its value reaches this number.
    void cancelProgressAt(int value) { cancelAt = value; }
    // The progress dialog shown last reports a cancel from now on, as after a click on its Cancel.
    void clickProgressCancel() { progressDialogs.last()->cancelClicked = true; }

    const QList<Shown> &shown() const { return log; }
    QStringList informationTexts() const;
    QStringList questionTexts() const;
    // Progress dialogs in the order they were created.
    const QList<std::shared_ptr<ProgressLog>> &progressLogs() const { return progressDialogs; }
    int pendingAnswers() const { return int(answers.size()); }
    int pendingFileNames() const { return int(fileNames.size()); }
    void clear();

    void information(QWidget *parent, const QString &title, const QString &text) override;
    bool question(QWidget *parent, const QString &title, const QString &text) override;
    void informationWithDetails(QWidget *parent, const QString &title, const QString &text,
                                const QString &informativeText, const QString &detailedText) override;
    bool questionWithDetails(QWidget *parent, const QString &title, const QString &text,
                             const QString &detailedText) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &proposedName,
                         const QStringList &filters, QString &chosenFilter) override;
    // Recorded with the printer's document name as its title; cancelled unless a print file was set.
    bool print(QWidget *parent, QPrinter &printer) override;
    std::unique_ptr<ProgressReporter> progress(QWidget *parent, const QString &label, const QString &cancelText,
                                               int maximum) override;

private:
    QList<Shown> log;
    QList<bool> answers;
    QList<QPair<QString, int>> fileNames;
    QStringList printFiles;
    QList<std::shared_ptr<ProgressLog>> progressDialogs;
    int cancelAt = -1;
};
