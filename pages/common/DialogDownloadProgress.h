#pragma once

#include "DownloadProgress.h"
#include "UserDialogs.h"

#include <memory>

class QWidget;

// A download's progress as the pages show it: a window-modal progress dialog, opened when the
// first chunk is about to be read.
class DialogDownloadProgress : public DownloadProgress
{
public:
    DialogDownloadProgress(UserDialogs &dialogs, QWidget *page, bool languageFlag);

    void start(int chunks) override;
    void chunkRead(int chunkCounter) override;
    // Hides the dialog, if one was opened.
    void hide();

private:
    UserDialogs &dialogs;
    QWidget *page;
    bool languageFlag;
    std::unique_ptr<ProgressReporter> reporter;
};
