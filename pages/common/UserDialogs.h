// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QPrinter;
class QWidget;

// Progress of a long transfer or export, as the user sees it in a window-modal progress dialog.
class ProgressReporter
{
public:
    virtual ~ProgressReporter() = default;
    virtual void setValue(int value) = 0;
    virtual bool wasCanceled() const = 0;
    virtual void hide() = 0;
};

// Every box, question and file dialog the program shows goes through this seam, so that tests
// can script the answers and see what would have been shown.
class UserDialogs
{
public:
    virtual ~UserDialogs() = default;

    // Information box with a single OK button.
    virtual void information(QWidget *parent, const QString &title, const QString &text) = 0;
    // Information box whose informative text (a file's path) and detailed text (a file's error)
    // add to the text; either may be empty. Without its own way of showing them, a seam shows the text alone.
    virtual void informationWithDetails(QWidget *parent, const QString &title, const QString &text,
                                        const QString &informativeText, const QString &detailedText)
    {
        Q_UNUSED(informativeText);
        Q_UNUSED(detailedText);
        information(parent, title, text);
    }
    // Question box with Yes and No and no default button; true for Yes.
    virtual bool question(QWidget *parent, const QString &title, const QString &text) = 0;
    // The same question with a detailed text (the reason of a failure).
    virtual bool questionWithDetails(QWidget *parent, const QString &title, const QString &text,
                                     const QString &detailedText)
    {
        Q_UNUSED(detailedText);
        return question(parent, title, text);
    }
    // Save-file dialog offering the name filters (the first one selected at first); an empty result
    // means the user cancelled. chosenFilter gets the filter selected when the user saved.
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &proposedName,
                                 const QStringList &filters, QString &chosenFilter) = 0;
    // The print dialog for a printer, which it sets up as the user chooses (printer, pages, or a
    // file); false when the user cancelled.
    virtual bool print(QWidget *parent, QPrinter &printer) = 0;
    // A window-modal progress dialog, shown at once, ranging from 0 to maximum.
    virtual std::unique_ptr<ProgressReporter> progress(QWidget *parent, const QString &label, const QString &cancelText,
                                                       int maximum) = 0;
};
