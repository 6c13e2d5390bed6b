// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "UserDialogs.h"

// The real dialogs: Qt's message boxes, file dialog, print dialog and progress dialog, shown modally.
class QtUserDialogs : public UserDialogs
{
public:
    void information(QWidget *parent, const QString &title, const QString &text) override;
    bool question(QWidget *parent, const QString &title, const QString &text) override;
    void informationWithDetails(QWidget *parent, const QString &title, const QString &text,
                                const QString &informativeText, const QString &detailedText) override;
    bool questionWithDetails(QWidget *parent, const QString &title, const QString &text,
                             const QString &detailedText) override;
    // Opens in the folder last saved to and with the format last chosen, for the kind of file the
    // filters name (tables, charts), as the settings keep them.
    QString saveFileName(QWidget *parent, const QString &caption, const QString &proposedName,
                         const QStringList &filters, QString &chosenFilter) override;
    // Qt's print dialog.
    bool print(QWidget *parent, QPrinter &printer) override;
    std::unique_ptr<ProgressReporter> progress(QWidget *parent, const QString &label, const QString &cancelText,
                                               int maximum) override;
};
