// SPDX-License-Identifier: GPL-3.0-or-later
#include "DialogDownloadProgress.h"

#include "MeterConnection.h"
#include "TextCatalogue.h"

#include <QCoreApplication>

DialogDownloadProgress::DialogDownloadProgress(UserDialogs &dialogs, QWidget *page, bool languageFlag,
                                               MeterConnection &connection)
    : dialogs(dialogs),
      page(page),
      languageFlag(languageFlag),
      connection(connection)
{
    connection.setWhileWaiting([this] { whileWaiting(); });
}

DialogDownloadProgress::~DialogDownloadProgress()
{
    connection.setWhileWaiting({});
}

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

bool DialogDownloadProgress::cancelled() const
{
    return reporter && reporter->wasCanceled();
}

void DialogDownloadProgress::whileWaiting()
{
    // Events are let through only while the window-modal dialog keeps the user off the rest of
    // the window: not before it opened, and after a cancel (which closed it) only to repaint.
    if (!reporter)
        return;
    QCoreApplication::processEvents(
        reporter->wasCanceled() ? QEventLoop::ExcludeUserInputEvents : QEventLoop::AllEvents, EventBudgetMs);
}

void DialogDownloadProgress::hide()
{
    if (reporter)
        reporter->hide();
}
