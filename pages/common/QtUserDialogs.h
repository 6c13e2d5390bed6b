// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "UserDialogs.h"

// The real dialogs: Qt's message boxes, file dialog and progress dialog, shown modally.
class QtUserDialogs : public UserDialogs
{
public:
    void information(QWidget *parent, const QString &title, const QString &text) override;
    bool question(QWidget *parent, const QString &title, const QString &text) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &proposedName,
                         const QStringList &filters, QString &chosenFilter) override;
    std::unique_ptr<ProgressReporter> progress(QWidget *parent, const QString &label, const QString &cancelText,
                                               int maximum) override;
};
