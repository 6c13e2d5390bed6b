// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DownloadProgress.h"
#include "UserDialogs.h"

#include <memory>

class MeterConnection;
class QWidget;

// A download's progress as the pages show it: a window-modal progress dialog, opened when the
// first chunk is about to be read, whose Cancel ends the download after the chunk in flight.
// From construction to destruction it is the connection's while-waiting hook: while the meter is
// slow to reply, the dialog keeps painting and takes the Cancel click.
class DialogDownloadProgress : public DownloadProgress
{
public:
    // Time the hook gives the application's events each time it runs.
    static constexpr int EventBudgetMs = 20;

    DialogDownloadProgress(UserDialogs &dialogs, QWidget *page, bool languageFlag, MeterConnection &connection);
    ~DialogDownloadProgress() override;

    DialogDownloadProgress(const DialogDownloadProgress &) = delete;
    DialogDownloadProgress &operator=(const DialogDownloadProgress &) = delete;

    void start(int chunks) override;
    void chunkRead(int chunkCounter) override;
    bool cancelled() const override;
    // Hides the dialog, if one was opened.
    void hide();

private:
    // The while-waiting hook: handles the application's pending events for a moment.
    void whileWaiting();

    UserDialogs &dialogs;
    QWidget *page;
    bool languageFlag;
    MeterConnection &connection;
    std::unique_ptr<ProgressReporter> reporter;
};
