#include "TableExport.h"

#include "ExcelEngine.h"
#include "ExportProgress.h"
#include "TextCatalogue.h"
#include "UserDialogs.h"

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

namespace TableExport {

QString proposedFileName(const QDateTime &now)
{
    return QStringLiteral("Data") + now.toString(QStringLiteral("yyyyMMddhhmmss"));
}

bool exportTable(QWidget *page, const ExportTable &table, int tableRows, UserDialogs &dialogs, bool languageFlag,
                 DeclinedRetry declinedRetry, const std::function<void()> &emptyTable)
{
    if (table.rowCount() <= 0)
        return false;
    const auto text = [languageFlag](Text id) { return TextCatalogue::text(id, languageFlag); };
    const QString title = text(Text::Tip);

    // Asks whether to try again: Yes starts over (its result is not passed on), No empties the
    // table only when the caller is about to replace it.
    auto failed = [&]() {
        if (dialogs.question(page, title, text(Text::ExportFailedQuestion)))
            exportTable(page, table, tableRows, dialogs, languageFlag, declinedRetry, emptyTable);
        else if (declinedRetry == DeclinedRetry::EmptyTable)
            emptyTable();
        return false;
    };

    const QString fileName =
        dialogs.saveFileName(page, text(Text::SaveDialogCaption), proposedFileName(QDateTime::currentDateTime()),
                             QStringLiteral("Excel(*.xls)"));
    if (fileName.isEmpty())
        return failed();
    // An existing file is replaced only once the new workbook is complete; one that cannot be
    // replaced (read-only, open in an office suite, a folder) fails here, before anything is written.
    if ((QFileInfo::exists(fileName) || QFileInfo(fileName).isSymLink()) && !ExcelEngine::canReplaceFile(fileName))
        return failed();

    std::unique_ptr<ProgressReporter> progress =
        dialogs.progress(page, text(Text::ExportProgress), text(Text::CancelButton), tableRows);
    DialogProgress reporter(*progress);
    auto engine = std::make_unique<ExcelEngine>(fileName);
    if (!engine->openWorkbook(1) || !engine->writeTable(table, &reporter) || !engine->saveWorkbookAs(fileName)) {
        const bool cancelled = engine->wasCancelled();
        progress->hide();
        engine.reset();
        progress.reset();
        if (!cancelled)
            return failed();
        // The user stopped it: no file was written and the table stays, so nothing to ask.
        dialogs.information(page, title, text(Text::ExportCancelled));
        return false;
    }
    engine->closeWorkbook();
    progress->setValue(tableRows);
    progress->hide();
    engine.reset();
    progress.reset();
    emptyTable();
    dialogs.information(page, title, text(Text::ExportSucceeded));
    return true;
}

} // namespace TableExport
