// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "UserDialogs.h"

#include <memory>

// Dialogs for the benchmarks, which are built without the tests: nothing is shown, and what
// would have been shown is only counted (a download that shows nothing but its progress dialog
// succeeded). Questions are answered No, save and print dialogs cancelled.
class SilentDialogs : public UserDialogs
{
public:
    int shown = 0;

    void information(QWidget *, const QString &, const QString &) override { ++shown; }
    bool question(QWidget *, const QString &, const QString &) override
    {
        ++shown;
        return false;
    }
    QString saveFileName(QWidget *, const QString &, const QString &, const QStringList &, QString &) override
    {
        ++shown;
        return QString();
    }
    bool print(QWidget *, QPrinter &) override
    {
        ++shown;
        return false;
    }
    std::unique_ptr<ProgressReporter> progress(QWidget *, const QString &, const QString &, int) override
    {
        ++shown;
        return std::make_unique<SilentProgress>();
    }

private:
    class SilentProgress : public ProgressReporter
    {
    public:
        void setValue(int) override {}
        bool wasCanceled() const override { return false; }
        void hide() override {}
    };
};
