#include "TableExport.h"

#include "ExcelEngine.h"
#include "ExportProgress.h"
#include "UserDialogs.h"

#include <QFileInfo>
#include <QTableWidget>

#include <memory>

namespace {

QString pick(bool chinese, const char *chineseText, const char *englishText)
{
    return QString::fromUtf8(chinese ? chineseText : englishText);
}

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

bool exportTable(QWidget *page, QTableWidget *table, UserDialogs &dialogs, bool languageFlag,
                 const TableExportLayout &layout, const std::function<void()> &emptyTable)
{
    if (!table || layout.isEmpty(*table))
        return false;
    const bool zh = languageFlag;
    const QString title = pick(zh, "提示", "Tip");
    const int rowCount = table->rowCount();

    // Asks whether to try again: Yes starts over (its result is not passed on), No discards the
    // table, whose records are still in the meter.
    auto failed = [&]() {
        if (dialogs.question(page, title,
                             pick(zh, "导出数据失败，是否重新保存数据？",
                                  "Exporting data failed, do you want to save the data again?")))
            exportTable(page, table, dialogs, languageFlag, layout, emptyTable);
        else
            emptyTable();
        return false;
    };

    const QString fileName =
        dialogs.saveFileName(page, pick(zh, "保存数据到Excel", "Save Data to Excel"),
                             proposedFileName(QDateTime::currentDateTime()), QStringLiteral("Excel(*.xls)"));
    if (fileName.isEmpty())
        return failed();
    // An existing file is replaced only once the new workbook is complete; one that cannot be
    // replaced (read-only, open in an office suite, a folder) fails here, before anything is written.
    if ((QFileInfo::exists(fileName) || QFileInfo(fileName).isSymLink()) && !ExcelEngine::canReplaceFile(fileName))
        return failed();

    std::unique_ptr<ProgressReporter> progress =
        dialogs.progress(page, pick(zh, "正在导出数据，请等待……", "Exporting data, please wait..."),
                         pick(zh, "取消", "Cancel"), rowCount);
    DialogProgress reporter(*progress);
    auto engine = std::make_unique<ExcelEngine>(fileName);
    if (!engine->openWorkbook(1) || !engine->writeTable(layout.copy(*table), &reporter)
        || !engine->saveWorkbookAs(fileName)) {
        progress->hide();
        engine.reset();
        progress.reset();
        return failed();
    }
    engine->closeWorkbook();
    progress->setValue(rowCount);
    progress->hide();
    engine.reset();
    progress.reset();
    emptyTable();
    dialogs.information(page, title, pick(zh, "导出数据成功！", "Exporting data success!"));
    return true;
}

} // namespace TableExport
