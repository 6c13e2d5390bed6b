// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryDialog.h"

#include "ArchiveListModel.h"
#include "ButtonKeys.h"
#include "ColourTableModel.h"
#include "ColumnModel.h"
#include "DataTableView.h"
#include "DownloadArchiver.h"
#include "EditedDownload.h"
#include "MeasurementArchive.h"
#include "MeterSheet.h"
#include "NotesPane.h"
#include "RecordStatistics.h"
#include "RecordsTableModel.h"
#include "ReportRequest.h"
#include "ReportTexts.h"
#include "SpectralTableModel.h"
#include "SpectrumChartView.h"
#include "TableEditSaver.h"
#include "TableEdits.h"
#include "TableExport.h"
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
#include <QScrollBar>
#include <QSplitter>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <iterator>

namespace {

// The list's columns of long texts, which give way to the others when the list is narrow.
constexpr int elasticColumns[] = {ArchiveListModel::Title, ArchiveListModel::Location, ArchiveListModel::Kind};

bool isElastic(int column)
{
    return std::find(std::begin(elasticColumns), std::end(elasticColumns), column) != std::end(elasticColumns);
}

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
    // Wide enough for the list's columns beside the notes, but never larger than the screen
    // leaves around it (a laptop's 1366×768 gives 1280×708).
    QSize size(1280, 760);
    if (const QScreen *shown = screen())
        size = size.boundedTo(shown->availableGeometry().size() - QSize(40, 60));
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

HistoryDialog::~HistoryDialog()
{
    // The opened table's last changes still go to the archive.
    if (edits)
        edits->finish();
}

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
    // Room for a whole serial number and the clear button, whatever the label beside it takes.
    lineEdit_serial->setMinimumWidth(lineEdit_serial->fontMetrics().horizontalAdvance(QStringLiteral("000000000000")));
    dateEdit_from = dateField(text(Text::HistoryAnyDate), this);
    dateEdit_from->setObjectName(QStringLiteral("dateEdit_from"));
    dateEdit_to = dateField(text(Text::HistoryAnyDate), this);
    dateEdit_to->setObjectName(QStringLiteral("dateEdit_to"));
    const struct
    {
        Text label;
        QWidget *field;
    } filters[] = {
        {Text::HistoryFind, lineEdit_serial}, {Text::HistoryFrom, dateEdit_from}, {Text::HistoryTo, dateEdit_to}};
    lineEdit_serial->setToolTip(text(Text::HistoryFindTip));
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
                   {Text::HistoryRestore, &HistoryDialog::restoreOriginal},
                   {Text::DeleteButton, &HistoryDialog::deleteSelected},
                   {Text::HistoryClose, &HistoryDialog::reject}};
    auto *exportButton = new QPushButton(text(Text::HistoryExport), this);
    connect(exportButton, &QPushButton::clicked, this, &HistoryDialog::exportSelected);
    layout->setColumnStretch(column++, 1);
    for (const auto &button : buttons) {
        auto *push = new QPushButton(text(button.label), this);
        connect(push, &QPushButton::clicked, this, button.slot);
        if (button.label == Text::HistoryRestore) {
            pushButton_restore = push;
            pushButton_restore->setObjectName(QStringLiteral("pushButton_restore"));
            pushButton_restore->setEnabled(false);
        }
        layout->addWidget(push, 0, column++);
        if (button.label == Text::HistoryOpen) {
            layout->addWidget(exportButton, 0, column++);
            layout->addWidget(makeReportButton(), 0, column++);
            layout->addWidget(makeCompareButton(), 0, column++);
        }
    }

    // The list narrows as the user types, by any part of the serial number or of the notes.
    downloads = new ArchiveListModel(chinese, this);
    bySerial = new QSortFilterProxyModel(this);
    bySerial->setSourceModel(downloads);
    bySerial->setFilterKeyColumn(ArchiveListModel::Serial);
    bySerial->setFilterRole(ArchiveListModel::SearchRole);
    bySerial->setFilterCaseSensitivity(Qt::CaseInsensitive);
    connect(lineEdit_serial, &QLineEdit::textChanged, bySerial,
            [this](const QString &typed) { bySerial->setFilterFixedString(typed.trimmed()); });

    auto *splitter = new QSplitter(Qt::Vertical, this);
    // The list with the selected download's notes beside it.
    auto *listAndNotes = splitter_notes = new QSplitter(Qt::Horizontal, splitter);
    listAndNotes->setObjectName(QStringLiteral("splitter_notes"));
    listAndNotes->setChildrenCollapsible(false);
    tableView_downloads = new QTableView(listAndNotes);
    tableView_downloads->setObjectName(QStringLiteral("tableView_downloads"));
    tableView_downloads->setModel(bySerial);
    tableView_downloads->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Several downloads may be selected to compare their spectra.
    tableView_downloads->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tableView_downloads->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableView_downloads->setTabKeyNavigation(false);
    tableView_downloads->verticalHeader()->hide();
    // Figures and dates size to their contents; the kind's name, the title and the location may
    // be long: they get what the list's width leaves, cut in the middle (whole in their tooltips),
    // and the user may widen them by hand.
    tableView_downloads->setTextElideMode(Qt::ElideMiddle);
    // One line a download: a wrapped text would be cut at the end of each of its lines.
    tableView_downloads->setWordWrap(false);
    tableView_downloads->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    for (const int column : elasticColumns)
        tableView_downloads->horizontalHeader()->setSectionResizeMode(column, QHeaderView::Interactive);
    // The last column takes what is left, however little its text needs.
    tableView_downloads->horizontalHeader()->setDefaultSectionSize(tableView_downloads->horizontalHeader()->minimumSectionSize());
    tableView_downloads->horizontalHeader()->setStretchLastSection(true);
    connect(tableView_downloads, &QTableView::doubleClicked, this, &HistoryDialog::openSelected);
    connect(tableView_downloads->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &HistoryDialog::showSelectedNotes);
    buildNotesPane(listAndNotes);
    listAndNotes->setStretchFactor(0, 3);
    listAndNotes->setStretchFactor(1, 1);
    connect(listAndNotes, &QSplitter::splitterMoved, this, [this] { userSplitNotes = true; });
    followSelectionForCompare();
    splitter_preview = new QSplitter(Qt::Horizontal, splitter);
    tableView_download = new DataTableView(splitter_preview);
    tableView_download->setObjectName(QStringLiteral("tableView_download"));
    tableView_download->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The tables number their rows themselves, as the windows they come from show them.
    tableView_download->verticalHeader()->hide();
    setUpTableEditing();
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(splitter, 1, 0, 1, column);
    ButtonKeys::removeDefaultButtons(this);
    // The filters and the buttons as they stand, then the list, the notes beside it and the
    // opened table.
    QWidget *previous = tableView_downloads;
    for (QWidget *field : notesPane->fields()) {
        setTabOrder(previous, field);
        previous = field;
    }
    setTabOrder(previous, tableView_download);
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
    // Notes typed but not yet handed on go out before the list is made again.
    notesPane->commit();
    downloads->setEntries(std::move(entries));
    showSelectedNotes();
    // The columns take their new widths when the list is laid out again.
    QMetaObject::invokeMethod(this, &HistoryDialog::shareListWidth, Qt::QueuedConnection);
}

void HistoryDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    QMetaObject::invokeMethod(this, &HistoryDialog::shareListWidth, Qt::QueuedConnection);
}

int HistoryDialog::naturalColumnWidth(int column) const
{
    // The widest of the title and the texts in sight.
    const QAbstractItemView *list = tableView_downloads;
    return qMax(tableView_downloads->horizontalHeader()->sectionSizeHint(column), list->sizeHintForColumn(column));
}

void HistoryDialog::shareListWidth()
{
    const int room = splitter_notes->width() - splitter_notes->handleWidth();
    if (room <= 0 || !isVisible())
        return;
    if (userSplitNotes) {
        fitListColumns(tableView_downloads->width());
        return;
    }
    const QHeaderView *header = tableView_downloads->horizontalHeader();
    int natural = 2 * tableView_downloads->frameWidth() + tableView_downloads->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < header->count(); ++c)
        natural += header->isSectionHidden(c) ? 0 : naturalColumnWidth(c);
    // The notes keep room to read what was typed, their fields at their usual width; where the
    // list needs the room, their labels go above the fields.
    const int notes = notesPane->minimumSizeHint().expandedTo(notesPane->minimumSize()).width();
    const int shown = qMax(qMin(natural, room - notes), room / 2);
    splitter_notes->setSizes({shown, room - shown});
    fitListColumns(shown);
}

void HistoryDialog::fitListColumns(int listWidth)
{
    QHeaderView *header = tableView_downloads->horizontalHeader();
    // What the other columns leave of the list's width (its vertical scroll bar counted, as the
    // list may grow one) goes to the long texts.
    int left = listWidth - 2 * tableView_downloads->frameWidth()
               - tableView_downloads->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < header->count(); ++c) {
        if (!header->isSectionHidden(c) && !isElastic(c))
            left -= naturalColumnWidth(c);
    }
    const auto wanted = [&](int column) { return header->isSectionHidden(column) ? 0 : naturalColumnWidth(column); };
    // A cut text keeps a few words and its column title; below that the list scrolls sideways.
    const int fewest = tableView_downloads->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 10;
    const auto least = [&](int column) { return qMin(wanted(column), qMax(fewest, header->sectionSizeHint(column))); };
    // The kind tells the downloads apart: the title and the location, whole in the notes beside,
    // give way first.
    const int kind = qMax(qMin(wanted(ArchiveListModel::Kind),
                               left - least(ArchiveListModel::Title) - least(ArchiveListModel::Location)),
                          least(ArchiveListModel::Kind));
    left -= kind;
    // The shorter of the two keeps its whole text where the longer leaves it room.
    int title = wanted(ArchiveListModel::Title);
    int location = wanted(ArchiveListModel::Location);
    if (title + location > left) {
        const int half = left / 2;
        if (title <= half)
            location = left - title;
        else if (location <= half)
            title = left - location;
        else
            title = left - (location = half);
    }
    const int widths[][2] = {{ArchiveListModel::Kind, kind},
                             {ArchiveListModel::Title, title},
                             {ArchiveListModel::Location, location}};
    for (const auto &[column, width] : widths) {
        if (!header->isSectionHidden(column))
            header->resizeSection(column, qMin(wanted(column), qMax(width, least(column))));
    }
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

QAbstractTableModel *HistoryDialog::makeTable(const DownloadOrigin &origin, DownloadTables::Contents contents,
                                              const MeterFlow::Download &download,
                                              const QList<RecordEdit> &recordEdits, QObject *parent) const
{
    // The table as its page showed it, as the user left it.
    if (origin.purpose == MeterFlow::Records) {
        auto *records = new RecordsTableModel(parent);
        records->setChinese(chinese);
        records->setUpColumns(origin.state.uiIndex, origin.state.mode, origin.state.unitSlots, origin.unitCatalog);
        records->appendDownload(origin.state.uiIndex, origin.state.mode, download, origin.probeNames);
        TableEdits::apply(*records, recordEdits);
        return records;
    }
    auto *spectra = new SpectralTableModel(origin.state.uiIndex, parent);
    spectra->setChinese(chinese);
    spectra->setUp(origin.state.unitSlots, origin.unitCatalog);
    spectra->appendDownload(download, origin.state.mode);
    TableEdits::apply(*spectra, recordEdits);
    if (contents != DownloadTables::ColourTable)
        return spectra;
    // The colour table follows its spectral table, which it owns.
    auto *colours = new ColourTableModel(*spectra, parent);
    spectra->setParent(colours);
    return colours;
}

void HistoryDialog::openSelected()
{
    DownloadOrigin origin;
    DownloadTables::Contents contents = DownloadTables::PurposeTable;
    MeterFlow::Download download;
    QList<RecordEdit> recordEdits;
    if (!loadSelected(origin, contents, download) || !selectedEdits(recordEdits))
        return;
    if (edits)
        edits->finish();
    QAbstractTableModel *previous = opened;
    opened = makeTable(origin, contents, download, recordEdits, this);
    // A spectral download shows its curves beside its table.
    delete chart;
    chart = nullptr;
    if (auto *spectra = qobject_cast<SpectralTableModel *>(opened)) {
        chart = new SpectrumChartView(*spectra, dialogs, chinese, splitter_preview);
        chart->setObjectName(QStringLiteral("widget_chart"));
        chart->setMinimumSize(300, 200);
        splitter_preview->addWidget(chart);
    }
    tableView_download->setModel(shownTable(*opened));
    delete previous;
    followOpened(selectedId());
}

bool HistoryDialog::exportSelected()
{
    DownloadOrigin origin;
    DownloadTables::Contents contents = DownloadTables::PurposeTable;
    MeterFlow::Download download;
    QList<RecordEdit> recordEdits;
    if (!loadSelected(origin, contents, download) || !selectedEdits(recordEdits))
        return false;
    // The opened table of the download is its current state, changes not yet saved included.
    if (opened && edits && openedId == selectedId() && edits->isFollowing())
        return exportTable(origin, *opened, selectedNotes());
    // The download as it stands: its edits applied, as the page would export it.
    QObject holder;
    const QAbstractTableModel *table = makeTable(origin, contents, download, recordEdits, &holder);
    return exportTable(origin, *table, selectedNotes());
}

ArchiveNotes HistoryDialog::selectedNotes() const
{
    // As the notes pane shows them: typed but not yet handed on included.
    const QModelIndex current = bySerial->mapToSource(tableView_downloads->currentIndex());
    if (!current.isValid())
        return {};
    const ArchiveEntry &entry = downloads->entries().at(current.row());
    return notesPane->download() == entry.id ? notesPane->shownNotes() : entry.notes;
}

bool HistoryDialog::exportTable(const DownloadOrigin &origin, const QAbstractTableModel &table,
                                const ArchiveNotes &notes)
{
    // An archived download stays in the archive: nothing to empty after the export.
    const MeterState &state = origin.state;
    ExportTable exported;
    int rows = 0;
    QList<ExportSheet> sheets;
    if (const auto *records = qobject_cast<const RecordsTableModel *>(&table)) {
        const QStringList headers = ColumnModel::exportHeaders(state.uiIndex, state.mode, state.unitSlots, chinese);
        RecordStatistics statistics;
        statistics.start(*records);
        statistics.addRows(*records);
        rows = records->rowCount();
        exported = records->exportTable(headers);
        sheets = {MeterSheet::make(origin.keyInfo, state, rows, origin.downloaded, chinese, notes),
                  statistics.sheet(headers, chinese)};
    } else if (const auto *spectra = qobject_cast<const SpectralTableModel *>(&table)) {
        rows = spectra->rowCount();
        exported = spectra->exportTable();
        sheets = {MeterSheet::make(origin.keyInfo, state, spectra->recordCount(), origin.downloaded, chinese, notes)};
    } else if (const auto *colours = qobject_cast<const ColourTableModel *>(&table)) {
        rows = colours->rowCount() + 1;
        exported = colours->exportTable();
        sheets = {MeterSheet::make(origin.keyInfo, state, colours->rowCount(), origin.downloaded, chinese, notes)};
    }
    return TableExport::exportTable(this, exported, sheets, rows, dialogs, chinese,
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
    QList<RecordEdit> recordEdits;
    if (!loadSelected(origin, contents, download) || !selectedEdits(recordEdits))
        return false;
    // The report of the download as it stands (edits applied, as the command line reports it):
    // the origin keeps its own download time; spectra are reported with their colours.
    const bool spectral = origin.purpose == MeterFlow::Spectra;
    DownloadTables tables(origin, chinese, spectral ? DownloadTables::ColourTable : DownloadTables::PurposeTable);
    const DownloadTables::BatchOf whole = [&download](qint64 first, int count, MeterFlow::Download &batch, QString &) {
        return DownloadTables::slice(download, first, count, batch);
    };
    const EditedDownload edited(recordEdits, download.count, whole);
    edited.applyTo(tables);
    QString reason;
    if (!tables.load(0, int(edited.count()), edited.batchOf(), reason)) {
        dialogs.information(this, text(Text::Tip), text(Text::HistoryUnavailable).arg(reason));
        return false;
    }
    ReportContent content;
    content.details.chinese = chinese;
    content.setMeterFacts(tables.meterSheet(edited.count()));
    // Its notes are proposed for the report's title, location, operator and note.
    ReportRequest::proposeNotes(content.details, selectedNotes());
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
    if (id == openedId)
        closeOpened();
    QString reason;
    const std::unique_ptr<MeasurementArchive> writable = WindowArchive::open(reason);
    if (writable && !writable->remove(id))
        reason = writable->errorString();
    if (!reason.isEmpty())
        dialogs.information(this, text(Text::Tip), text(Text::HistoryUnavailable).arg(reason));
    refresh();
}
