// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryDialog.h"

#include "ArchiveListModel.h"
#include "ButtonKeys.h"
#include "ColourTableModel.h"
#include "DataTableView.h"
#include "DownloadArchiver.h"
#include "MeasurementArchive.h"
#include "RecordsTableModel.h"
#include "ReportRequest.h"
#include "ReportTexts.h"
#include "SpectralTableModel.h"
#include "SpectrumChartView.h"
#include "TableExport.h"
#include "TableRoles.h"
#include "UserDialogs.h"
#include "WindowArchive.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QTimer>

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
    // As large as it used to be, but never larger than the screen leaves.
    QSize size(1100, 700);
    if (const QScreen *shown = screen())
        size = size.boundedTo(shown->availableGeometry().size() * 0.9);
    resize(size.expandedTo(minimumSizeHint()));
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
    lineEdit_serial->setObjectName(QStringLiteral("lineEdit_serial"));
    lineEdit_serial->setClearButtonEnabled(true);
    dateEdit_from = dateField(text(Text::HistoryAnyDate), this);
    dateEdit_from->setObjectName(QStringLiteral("dateEdit_from"));
    dateEdit_to = dateField(text(Text::HistoryAnyDate), this);
    dateEdit_to->setObjectName(QStringLiteral("dateEdit_to"));
    const struct
    {
        Text label;
        QWidget *field;
    } filters[] = {
        {Text::MeterSheetSerial, lineEdit_serial}, {Text::HistoryFrom, dateEdit_from}, {Text::HistoryTo, dateEdit_to}};
    int column = 0;
    for (const auto &filter : filters) {
        auto *label = new QLabel(text(filter.label), this);
        label->setBuddy(filter.field);
        layout->addWidget(label, 0, column++);
        layout->addWidget(filter.field, 0, column++);
    }
    connect(dateEdit_from, &QDateEdit::dateChanged, this, &HistoryDialog::refresh);
    connect(dateEdit_to, &QDateEdit::dateChanged, this, &HistoryDialog::refresh);
    placeCalendars();

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
        if (button.label == Text::HistoryOpen) {
            layout->addWidget(exportButton, 0, column++);
            layout->addWidget(makeReportButton(), 0, column++);
            layout->addWidget(makeCompareButton(), 0, column++);
        }
    }

    // The list narrows as the user types, by any part of the serial number.
    downloads = new ArchiveListModel(chinese, this);
    bySerial = new QSortFilterProxyModel(this);
    bySerial->setSourceModel(downloads);
    bySerial->setFilterKeyColumn(ArchiveListModel::Serial);
    connect(lineEdit_serial, &QLineEdit::textChanged, bySerial,
            [this](const QString &typed) { bySerial->setFilterFixedString(typed.trimmed()); });

    auto *splitter = new QSplitter(Qt::Vertical, this);
    tableView_downloads = new QTableView(splitter);
    tableView_downloads->setObjectName(QStringLiteral("tableView_downloads"));
    tableView_downloads->setModel(bySerial);
    tableView_downloads->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Several downloads may be selected to compare their spectra.
    tableView_downloads->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tableView_downloads->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableView_downloads->setTabKeyNavigation(false);
    tableView_downloads->verticalHeader()->hide();
    tableView_downloads->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tableView_downloads->horizontalHeader()->setStretchLastSection(true);
    connect(tableView_downloads, &QTableView::doubleClicked, this, &HistoryDialog::openSelected);
    followSelectionForCompare();
    splitter_preview = new QSplitter(Qt::Horizontal, splitter);
    tableView_download = new DataTableView(splitter_preview);
    tableView_download->setEditTriggers(QAbstractItemView::NoEditTriggers);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(splitter, 1, 0, 1, column);
    ButtonKeys::removeDefaultButtons(this);
}

void HistoryDialog::placeCalendars()
{
    // A date field showing "Any" holds the earliest date; its calendar would open in January 2000.
    const auto openAt = [this](QDateEdit *field, std::function<QDate()> page) {
        if (QCalendarWidget *calendar = field->calendarWidget()) {
            calendar->installEventFilter(this);
            calendars.append({field, calendar, std::move(page)});
        }
    };
    openAt(dateEdit_from, [this] { return firstDay.isValid() ? firstDay : QDate::currentDate(); });
    openAt(dateEdit_to, [] { return QDate::currentDate(); });
}

bool HistoryDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        for (const CalendarPlace &place : std::as_const(calendars)) {
            if (place.calendar != watched || place.field->date() != anyDate)
                continue;
            const QDate day = place.page();
            // After the field has set its own date on the calendar.
            QTimer::singleShot(0, place.calendar, [calendar = place.calendar, day] {
                calendar->setCurrentPage(day.year(), day.month());
            });
        }
    }
    return QDialog::eventFilter(watched, event);
}

void HistoryDialog::refresh()
{
    if (!archive)
        return;
    ArchiveFilter filter;
    if (dateEdit_from->date() != anyDate)
        filter.sinceUtc = dateEdit_from->date().startOfDay().toUTC();
    // The archive's range includes both ends and keeps times to the millisecond: the "to" day
    // ends at its last millisecond, so a download at the next midnight belongs to the next day.
    if (dateEdit_to->date() != anyDate)
        filter.untilUtc = dateEdit_to->date().addDays(1).startOfDay().addMSecs(-1).toUTC();
    QList<ArchiveEntry> entries;
    if (!archive->list(filter, entries))
        dialogs.information(this, text(Text::Tip), text(Text::HistoryUnavailable).arg(archive->errorString()));
    if (filter.sinceUtc.isNull() && filter.untilUtc.isNull())
        firstDay = entries.isEmpty() ? QDate() : entries.last().downloadedUtc.toLocalTime().date();
    downloads->setEntries(std::move(entries));
}

QList<ArchiveEntry> HistoryDialog::listedDownloads() const
{
    QList<ArchiveEntry> listed;
    for (int row = 0; row < bySerial->rowCount(); ++row)
        listed.append(downloads->entries().at(bySerial->mapToSource(bySerial->index(row, 0)).row()));
    return listed;
}

void HistoryDialog::selectDownload(int row)
{
    tableView_downloads->selectRow(row);
}

void HistoryDialog::setSerialFilter(const QString &serial)
{
    lineEdit_serial->setText(serial);
}

qint64 HistoryDialog::selectedId() const
{
    const QModelIndex current = bySerial->mapToSource(tableView_downloads->currentIndex());
    return current.isValid() ? downloads->entries().at(current.row()).id : 0;
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
    // A spectral download shows its curves beside its table.
    delete chart;
    chart = nullptr;
    if (auto *spectra = qobject_cast<SpectralTableModel *>(opened)) {
        chart = new SpectrumChartView(*spectra, dialogs, chinese, splitter_preview);
        chart->setObjectName(QStringLiteral("widget_chart"));
        chart->setMinimumSize(300, 200);
        splitter_preview->addWidget(chart);
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

QPushButton *HistoryDialog::makeReportButton()
{
    auto *report = new QPushButton(ReportTexts::text(ReportText::Button, chinese), this);
    report->setObjectName(QStringLiteral("pushButton_report"));
    connect(report, &QPushButton::clicked, this, &HistoryDialog::reportSelected);
    return report;
}

bool HistoryDialog::reportSelected()
{
    DownloadOrigin origin;
    DownloadTables::Contents contents = DownloadTables::PurposeTable;
    MeterFlow::Download download;
    if (!loadSelected(origin, contents, download))
        return false;
    // The report of the download as it was: the origin keeps its own download time; spectra are
    // reported with their colours, as the command line reports them.
    const bool spectral = origin.purpose == MeterFlow::Spectra;
    DownloadTables tables(origin, chinese, spectral ? DownloadTables::ColourTable : DownloadTables::PurposeTable);
    const DownloadTables::BatchOf whole = [&download](qint64 first, int count, MeterFlow::Download &batch, QString &) {
        return DownloadTables::slice(download, first, count, batch);
    };
    QString reason;
    if (!tables.load(0, int(download.count), whole, reason)) {
        dialogs.information(this, text(Text::Tip), text(Text::HistoryUnavailable).arg(reason));
        return false;
    }
    ReportContent content;
    content.details.chinese = chinese;
    content.setMeterFacts(tables.meterSheet(download.count));
    if (spectral)
        content.addSpectral(*tables.spectraModel(), *tables.coloursModel());
    else
        content.addRecords(*tables.recordsModel());
    ReportRequest::run(this, content, dialogs, chinese);
    return true;
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
