#include "DialogDownloadProgress.h"

#include "TextCatalogue.h"

DialogDownloadProgress::DialogDownloadProgress(UserDialogs &dialogs, QWidget *page, bool languageFlag)
    : dialogs(dialogs),
      page(page),
      languageFlag(languageFlag)
{}

void DialogDownloadProgress::start(int chunks)
{
    reporter = dialogs.progress(page, TextCatalogue::text(Text::ReadingProgress, languageFlag),
                                TextCatalogue::text(Text::CancelButton, languageFlag), chunks);
}

void DialogDownloadProgress::chunkRead(int chunkCounter)
{
    if (reporter)
        reporter->setValue(chunkCounter);
}

void DialogDownloadProgress::hide()
{
    if (reporter)
        reporter->hide();
}
