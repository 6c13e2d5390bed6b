// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryDialog.h"

#include "ColourTableModel.h"
#include "DataTableView.h"
#include "DownloadArchiver.h"
#include "MeasurementArchive.h"
#include "RecordsTableModel.h"
#include "SpectralTableModel.h"
#include "TableExport.h"
#include "TableRoles.h"
#include "UserDialogs.h"
#include "WindowArchive.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>

namespace {

// The earliest date the date fields offer; it stands for "no limit" and shows as "Any".
const QDate anyDate(2000, 1, 1);

QDateEdit *dateField(const QString &anyText, QWidget *parent)
{
    auto *field = new QDateEdit(parent);
    field->setCalendarPopup(true);
    field->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    field->setMinimumDate(anyDate);
    field->setSpecialValueText(anyText);
    field->setDate(anyDate);
    return field;
}

} // namespace

HistoryDialog::HistoryDialog(bool chinese, UserDialogs &dialogs, QWidget *parent)
    : QDialog(parent),
      chinese(chinese),
      dialogs(dialogs)
{
    setWindowTitle(text(Text::HistoryTitle));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    buildForm();
    resize(1100, 700);
    QString reason;
    // Only deleting writes; the archive is read as a reader, so that a shared archive stays
    // writable for its owner and an archive the user may only read can still be looked at.
    archive = WindowArchive::open(reason, MeasurementArchive::Access::ReadOnly);
    if (!archive) {
        dialogs.information(this, text(Text::Tip), text(Text::HistoryUnavailable).arg(reason));
        return;
    }
    refresh();
}

HistoryDialog::~HistoryDialog() = default;

QString HistoryDialog::text(Text id) const
{
    return TextCatalogue::text(id, chinese);
}

void HistoryDialog::buildForm()
{
    auto *layout = new QGridLayout(this);
    lineEdit_serial = new QLineEdit(this);
    lineEdit_serial->setClearButtonEnabled(true);
    dateEdit_from = dateField(text(Text::HistoryAnyDate), this);
    dateEdit_to = dateField(text(Text::HistoryAnyDate), this);
    const struct
    {
        Text label;
        QWidget *field;
    } filters[] = {
        {Text::MeterSheetSerial, lineEdit_serial}, {Text::HistoryFrom, dateEdit_from}, {Text::HistoryTo, dateEdit_to}};
    int column = 0;
    for (const auto &filter : filters) {
        layout->addWidget(new QLabel(text(filter.label), this), 0, column++);
        layout->addWidget(filter.field, 0, column++);
    }
    connect(lineEdit_serial, &QLineEdit::editingFinished, this, &HistoryDialog::refresh);
    connect(dateEdit_from, &QDateEdit::dateChanged, this, &HistoryDialog::refresh);
    connect(dateEdit_to, &QDateEdit::dateChanged, this, &HistoryDialog::refresh);

    const struct
    {
        Text label;
        void (HistoryDialog::*slot)();
    } buttons[] = {{Text::HistoryOpen, &HistoryDialog::openSelected},
                   {Text::DeleteButton, &HistoryDialog::deleteSelected},
                   {Text::HistoryClose, &HistoryDialog::reject}};
    auto *exportButton = new QPushButton(text(Text::HistoryExport), this);
    connect(exportButton, &QPushButton::clicked, this, &HistoryDialog::exportSelected);
    layout->setColumnStretch(column++, 1);
    for (const auto &button : buttons) {
        auto *push = new QPushButton(text(button.label), this);
        connect(push, &QPushButton::clicked, this, button.slot);
        layout->addWidget(push, 0, column++);
        if (button.label == Text::HistoryOpen)
            layout->addWidget(exportButton, 0, column++);
    }

    auto *splitter = new QSplitter(Qt::Vertical, this);
    tableWidget_downloads = new QTableWidget(0, 7, splitter);
    tableWidget_downloads->setHorizontalHeaderLabels({text(Text::HistoryId), text(Text::MeterSheetDownloaded),
                                                      text(Text::MeterSheetSerial), text(Text::MeterSheetModel),
                                                      text(Text::MeterSheetKind), text(Text::MeterSheetRecords),
                                                      text(Text::HistoryTable)});
    tableWidget_downloads->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableWidget_downloads->setSelectionMode(QAbstractItemView::SingleSelection);
    tableWidget_downloads->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableWidget_downloads->verticalHeader()->hide();
    tableWidget_downloads->horizontalHeader()->setStretchLastSection(true);
    connect(tableWidget_downloads, &QTableWidget::cellDoubleClicked, this, &HistoryDialog::openSelected);
    tableView_download = new DataTableView(splitter);
    tableView_download->setEditTriggers(QAbstractItemView::NoEditTriggers);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(splitter, 1, 0, 1, column);
}

void HistoryDialog::refresh()
{
    if (!archive)
        return;
    ArchiveFilter filter;
    bool number = false;
    const qint32 serial = lineEdit_serial->text().trimmed().toInt(&number);
    if (number)
        filter.serial = serial;
    if (dateEdit_from->date() != anyDate)
        filter.sinceUtc = dateEdit_from->date().startOfDay().toUTC();
    if (dateEdit_to->date() != anyDate)
        filter.untilUtc = dateEdit_to->date().addDays(1).startOfDay().toUTC();
    entries.clear();
    if (!archive->list(filter, entries))
        dialogs.information(this, text(Text::Tip), text(Text::HistoryUnavailable).arg(archive->errorString()));

    tableWidget_downloads->setRowCount(int(entries.size()));
    for (int row = 0; row < int(entries.size()); ++row) {
        const ArchiveEntry &entry = entries.at(row);
        const QStringList cells{QString::number(entry.id),
                                entry.downloadedUtc.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                MeterFlow::serialText(entry.keyInfo),
                                QString::number(qint32(entry.keyInfo.modelCode)),
                                QString::number(entry.uiIndex),
                                QString::number(entry.recordCount),
                                tableText(entry.table)};
        for (int column = 0; column < int(cells.size()); ++column) {
            auto *item = new QTableWidgetItem(cells.at(column));
            item->setTextAlignment(Qt::AlignCenter);
            tableWidget_downloads->setItem(row, column, item);
        }
    }
    tableWidget_downloads->resizeColumnsToContents();
}

void HistoryDialog::selectDownload(int row)
{
    tableWidget_downloads->selectRow(row);
}

void HistoryDialog::setSerialFilter(const QString &serial)
{
    lineEdit_serial->setText(serial);
    refresh();
}

qint64 HistoryDialog::selectedId() const
{
    const int row = tableWidget_downloads->currentRow();
    return row >= 0 && row < int(entries.size()) ? entries.at(row).id : 0;
}

QString HistoryDialog::tableText(ArchivedTable table) const
{
    switch (table) {
    case ArchivedTable::Records:
        return text(Text::HistoryRecords);
    case ArchivedTable::Spectra:
        return text(Text::HistorySpectra);
    case ArchivedTable::Colours:
        return text(Text::HistoryColours);
    }
    return QString::number(int(table));
}

bool HistoryDialog::loadSelected(DownloadOrigin &origin, DownloadTables::Contents &contents,
                                 MeterFlow::Download &download)
{
    const qint64 id = selectedId();
    if (id == 0 || !archive)
        return false;
    ArchiveEntry entry;
    ArchivedMemory memory[2];
    if (!archive->memoryExtents(id, memory) || !archive->load(id, entry, download.records, download.names)) {
        const QString why =
            archive->errorString().isEmpty() ? text(Text::CliNoSuchDownload).arg(id) : archive->errorString();
        dialogs.information(this, text(Text::Tip), text(Text::HistoryUnavailable).arg(why));
        return false;
    }
    // The same check as before the command line writes it again: a damaged download is told, not shown.
    if (const std::optional<QString> damage = DownloadArchiver::damage(entry, memory, chinese)) {
        dialogs.information(this, text(Text::Tip), *damage);
        return false;
    }
    download.count = entry.recordCount;
    origin = DownloadArchiver::originOf(entry);
    contents = DownloadArchiver::contentsOf(entry);
    return true;
}

void HistoryDialog::openSelected()
{
    DownloadOrigin origin;
    DownloadTables::Contents contents = DownloadTables::PurposeTable;
    MeterFlow::Download download;
    if (!loadSelected(origin, contents, download))
        return;
    // The table as its page showed it, without the page's buttons and check boxes.
    QAbstractTableModel *previous = opened;
    if (origin.purpose == MeterFlow::Records) {
        auto *records = new RecordsTableModel(this);
        records->setChinese(chinese);
        records->setUpColumns(origin.state.uiIndex, origin.state.mode, origin.state.unitSlots, origin.unitCatalog);
        records->appendDownload(origin.state.uiIndex, origin.state.mode, download, origin.probeNames);
        opened = records;
    } else {
        auto *spectra = new SpectralTableModel(origin.state.uiIndex, this);
        spectra->setChinese(chinese);
        spectra->setUp(origin.state.unitSlots, origin.unitCatalog);
        spectra->appendDownload(download, origin.state.mode);
        opened = spectra;
        // The colour table follows its spectral table, which it owns.
        if (contents == DownloadTables::ColourTable) {
            opened = new ColourTableModel(*spectra, this);
            spectra->setParent(opened);
        }
    }
    tableView_download->setModel(opened);
    for (int column = 0; column < opened->columnCount(); ++column) {
        const bool pageControl = opened->headerData(column, Qt::Horizontal, CompactColumnRole).toBool() && column > 0;
        tableView_download->setColumnHidden(column, pageControl);
    }
    delete previous;
}

bool HistoryDialog::exportSelected()
{
    DownloadOrigin origin;
    DownloadTables::Contents contents = DownloadTables::PurposeTable;
    MeterFlow::Download download;
    if (!loadSelected(origin, contents, download))
        return false;
    DownloadTables tables(origin, chinese, contents);
    const DownloadTables::BatchOf whole = [&download](qint64 first, int count, MeterFlow::Download &batch, QString &) {
        return DownloadTables::slice(download, first, count, batch);
    };
    ExportTable table;
    QString reason;
    if (!tables.table(0, int(download.count), whole, table, reason)) {
        dialogs.information(this, text(Text::Tip), text(Text::HistoryUnavailable).arg(reason));
        return false;
    }
    // An archived download stays in the archive: nothing to empty after the export.
    QList<ExportSheet> sheets;
    if (!tables.extraSheets(download.count, whole, sheets, reason))
        return false;
    return TableExport::exportTable(this, table, sheets, table.rowCount(), dialogs, chinese,
                                    TableExport::DeclinedRetry::KeepTable, [] {});
}

void HistoryDialog::deleteSelected()
{
    const qint64 id = selectedId();
    if (id == 0 || !archive || !dialogs.question(this, text(Text::Tip), text(Text::HistoryDeleteQuestion)))
        return;
    QString reason;
    const std::unique_ptr<MeasurementArchive> writable = WindowArchive::open(reason);
    if (writable && !writable->remove(id))
        reason = writable->errorString();
    if (!reason.isEmpty())
        dialogs.information(this, text(Text::Tip), text(Text::HistoryUnavailable).arg(reason));
    refresh();
}
