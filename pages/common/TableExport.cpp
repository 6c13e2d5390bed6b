// SPDX-License-Identifier: GPL-3.0-or-later
#include "TableExport.h"

#include "ExportProgress.h"
#include "FileReplacement.h"
#include "SaveTarget.h"
#include "TableFile.h"
#include "TextCatalogue.h"
#include "UserDialogs.h"
#include "WindowArchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>

namespace {

// The progress dialog the user sees, as the workbook engine reports to it.
class DialogProgress : public ExportProgress
{
public:
    explicit DialogProgress(ProgressReporter &reporter) : reporter(reporter) {}
    void setValue(int value) override { reporter.setValue(value); }
    bool wasCanceled() const override { return reporter.wasCanceled(); }

private:
    ProgressReporter &reporter;
};

} // namespace

namespace {

// The system's reason a file that may not be replaced cannot be opened for writing, for the
// failure message's details; opening for appending changes nothing in it.
QString whyNotReplaceable(const QString &fileName)
{
    QFile file(fileName);
    if (QFileInfo(fileName).isDir() || !file.open(QIODevice::WriteOnly | QIODevice::Append))
        return QDir::toNativeSeparators(fileName) + QStringLiteral(": ")
               + (file.errorString().isEmpty() || QFileInfo(fileName).isDir() ? QStringLiteral("Is a directory")
                                                                              : file.errorString());
    return QDir::toNativeSeparators(fileName);
}

} // namespace

namespace TableExport {

QString proposedFileName(const QDateTime &now)
{
    return QStringLiteral("Data") + now.toString(QStringLiteral("yyyyMMddhhmmss"));
}

namespace {

constexpr TableFile::Format filterFormats[] = {TableFile::Xls, TableFile::Xlsx, TableFile::Csv};

QString nameFilter(TableFile::Format format)
{
    switch (format) {
    case TableFile::Xls:
        return QStringLiteral("Excel 97-2003 (*.xls)");
    case TableFile::Xlsx:
        return QStringLiteral("Excel (*.xlsx)");
    case TableFile::Csv:
        return QStringLiteral("CSV (*.csv)");
    }
    return QString();
}

} // namespace

QStringList nameFilters()
{
    QStringList filters;
    for (const TableFile::Format format : filterFormats)
        filters << nameFilter(format);
    return filters;
}

QPair<QString, TableFile::Format> target(const QString &fileName, const QString &chosenFilter)
{
    QStringList suffixes;
    for (const TableFile::Format format : filterFormats)
        suffixes << TableFile::suffix(format);
    const SaveTarget chosen = SaveTarget::of(fileName, chosenFilter, suffixes, nameFilters());
    return {chosen.fileName, filterFormats[chosen.format]};
}

bool exportTable(QWidget *page, const ExportTable &table, const QList<ExportSheet> &extraSheets, int tableRows,
                 UserDialogs &dialogs, bool languageFlag, DeclinedRetry declinedRetry,
                 const std::function<void()> &emptyTable)
{
    if (table.rowCount() <= 0)
        return false;
    const auto text = [languageFlag](Text id) { return TextCatalogue::text(id, languageFlag); };
    const QString title = text(Text::Tip);

    // Asks whether to try again: Yes starts over (its result is not passed on), No empties the
    // table only when the caller is about to replace it.
    auto failed = [&](const QString &reason) {
        if (dialogs.questionWithDetails(page, title, text(Text::ExportFailedQuestion), reason))
            exportTable(page, table, extraSheets, tableRows, dialogs, languageFlag, declinedRetry, emptyTable);
        else if (declinedRetry == DeclinedRetry::EmptyTable)
            emptyTable();
        return false;
    };

    QString chosenFilter;
    const QString chosenName =
        dialogs.saveFileName(page, text(Text::SaveDialogCaption), proposedFileName(QDateTime::currentDateTime()),
                             nameFilters(), chosenFilter);
    // A cancelled save dialog is no failure: the table stays and nothing is asked.
    if (chosenName.isEmpty())
        return false;
    const auto [fileName, format] = target(chosenName, chosenFilter);
    // An existing file is replaced only once the new file is complete; one that cannot be replaced
    // (read-only, open in an office suite, a folder, the archive) fails here, before anything is
    // written.
    if (FileReplacement::wouldReplace(fileName, WindowArchive::filePath())
        || FileReplacement::readiness(fileName) == FileReplacement::NotReplaceable)
        return failed(whyNotReplaceable(fileName));

    std::unique_ptr<ProgressReporter> progress =
        dialogs.progress(page, text(Text::ExportProgress), text(Text::CancelButton), tableRows);
    DialogProgress reporter(*progress);
    TableFile file(fileName, format);
    if (file.prepare() != TableFile::Ready || !file.write(table, &reporter, extraSheets)) {
        progress->hide();
        progress.reset();
        if (!file.wasCancelled())
            return failed(file.errorString());
        // The user stopped it: no file was written and the table stays, so nothing to ask.
        dialogs.information(page, title, text(Text::ExportCancelled));
        return false;
    }
    progress->setValue(tableRows);
    progress->hide();
    progress.reset();
    emptyTable();
    dialogs.informationWithDetails(page, title, text(Text::ExportSucceeded), QDir::toNativeSeparators(fileName),
                                   QString());
    return true;
}

} // namespace TableExport
