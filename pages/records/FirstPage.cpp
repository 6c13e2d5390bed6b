// SPDX-License-Identifier: GPL-3.0-or-later
#include "FirstPage.h"

#include "ui_FirstPage.h"

#include "ButtonKeys.h"
#include "CatalogLoader.h"
#include "ColumnModel.h"
#include "DialogDownloadProgress.h"
#include "HistoryDialog.h"
#include "MeterConnection.h"
#include "MeterKind.h"
#include "MeterPage.h"
#include "MeterSheet.h"
#include "RecordStatistics.h"
#include "ReportRequest.h"
#include "ReportTexts.h"
#include "RecordsTableModel.h"
#include "StatisticsTableModel.h"
#include "TableEditSaver.h"
#include "TableExport.h"
#include "UserDialogs.h"
#include "WindowArchive.h"

#include <QAction>
#include <QDebug>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

FirstPage::FirstPage(MeterConnection &connection, UserDialogs &dialogs, const QString &catalogDirectory,
                     QWidget *parent)
    : QWidget(parent),
      ui(std::make_unique<Ui::FirstPage>()),
      model(new RecordsTableModel(this)),
      statistics(nullptr),
      tableView_statistics(new DataTableView(this)),
      label_statistics(new QLabel(this)),
      connection(connection),
      dialogs(&dialogs),
      catalogDirectory(catalogDirectory)
{
    // Creates the widgets, applies the translatable texts and connects the on_ slots by name.
    ui->setupUi(this);
    ui->tableWidget_data->setModel(model);
    connect(ui->tableWidget_data, &DataTableView::buttonClicked, this, &FirstPage::slot_deleteRow);
    // The history of archived downloads opens from the last button of the row.
    pushButton_report = new QPushButton(ReportTexts::text(ReportText::Button, languageFlag), this);
    pushButton_report->setObjectName(QStringLiteral("pushButton_report"));
    ui->horizontalLayout_buttons->addWidget(pushButton_report);
    connect(pushButton_report, &QPushButton::clicked, this, &FirstPage::makeReport);
    pushButton_history = new QPushButton(text(Text::HistoryButton), this);
    pushButton_history->setObjectName(QStringLiteral("pushButton_history"));
    ui->horizontalLayout_buttons->addWidget(pushButton_history);
    connect(pushButton_history, &QPushButton::clicked, this, &FirstPage::openHistory);
    setUpKeyboard();
    // The row of buttons leaves the meter's fields what is left of the width: they keep enough of
    // it for the longest serial number and firmware version.
    const QFontMetrics metrics(ui->lineEdit_serialNo->font());
    const int frame = 2 * metrics.averageCharWidth() + 8;
    ui->lineEdit_serialNo->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("-2147483648")) + frame);
    ui->lineEdit_firmwareVersion->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("655.35")) + frame);
    setUpStatisticsStrip();
    loadMeterCatalog();
    loadUnitCatalog();
}

FirstPage::~FirstPage()
{
    // The window closes: the table's last changes still go to the archive.
    if (edits)
        edits->finish();
}

void FirstPage::setUpKeyboard()
{
    // Delete and the context menu delete the selected rows as their buttons do; Ctrl+Z brings the
    // last deletions back until the table is emptied or replaced.
    ui->tableWidget_data->enableRowDeletion(text(Text::DeleteButton));
    connect(ui->tableWidget_data, &DataTableView::deleteRowsRequested, model, &RecordsTableModel::removeRecords);
    auto *undo = new QAction(this);
    undo->setObjectName(QStringLiteral("action_undoDelete"));
    undo->setShortcut(QKeySequence::Undo);
    undo->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(undo, &QAction::triggered, model, &RecordsTableModel::undoRemoval);
    addAction(undo);
    // The buttons in the order they stand, then the table; the table hands Tab on.
    setTabOrder(ui->pushButton_readRecords, ui->pushButton_clearData);
    setTabOrder(ui->pushButton_clearData, ui->pushButton_exportExcel);
    setTabOrder(ui->pushButton_exportExcel, ui->pushButton_spectralData);
    setTabOrder(ui->pushButton_spectralData, pushButton_history);
    setTabOrder(pushButton_history, ui->tableWidget_data);
    ui->tableWidget_data->setFocusPolicy(Qt::StrongFocus);
    // An empty table has nothing to export.
    const auto followRows = [this] { ui->pushButton_exportExcel->setEnabled(model->rowCount() > 0); };
    connect(model, &QAbstractItemModel::rowsInserted, this, followRows);
    connect(model, &QAbstractItemModel::rowsRemoved, this, followRows);
    connect(model, &QAbstractItemModel::modelReset, this, followRows);
    followRows();
    setShortcuts();
}

void FirstPage::setShortcuts()
{
    ButtonKeys::setShortcut(ui->pushButton_readRecords, QKeySequence(Qt::CTRL | Qt::Key_R));
    ButtonKeys::setShortcut(ui->pushButton_exportExcel, QKeySequence(Qt::CTRL | Qt::Key_E));
    ButtonKeys::setShortcut(ui->pushButton_spectralData, QKeySequence(Qt::CTRL | Qt::Key_D));
    ButtonKeys::setShortcut(pushButton_history, QKeySequence(Qt::CTRL | Qt::Key_H));
}

void FirstPage::setUpStatisticsStrip()
{
    // Made after the records view has its model, so that the view's selection has followed a
    // change of the records by the time the statistics do.
    statistics = new StatisticsTableModel(*model, this);
    tableView_statistics->setObjectName(QStringLiteral("tableView_statistics"));
    tableView_statistics->setModel(statistics);
    tableView_statistics->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableView_statistics->setSelectionMode(QAbstractItemView::NoSelection);
    tableView_statistics->setFocusPolicy(Qt::NoFocus);
    tableView_statistics->verticalHeader()->hide();
    // The labels keep their width; the figures share the rest, none narrower than its title.
    tableView_statistics->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tableView_statistics->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tall enough for the titles (two lines where a unit follows) and every figure, no more.
    const QFontMetrics metrics(tableView_statistics->font());
    const int rowHeight = metrics.height() + 4;
    tableView_statistics->verticalHeader()->setDefaultSectionSize(rowHeight);
    tableView_statistics->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tableView_statistics->setFixedHeight(2 * metrics.height() + 10 + RecordStatistics::FigureCount * rowHeight
                                         + 2 * tableView_statistics->frameWidth());
    label_statistics->setObjectName(QStringLiteral("label_statistics"));
    ui->gridLayout_firstPage->addWidget(label_statistics, 2, 0);
    ui->gridLayout_firstPage->addWidget(tableView_statistics, 3, 0);
    const auto relabel = [this] {
        label_statistics->setText(statistics->summary());
        // Without columns there is nothing to show figures of.
        label_statistics->setVisible(statistics->columnCount() > 0);
        tableView_statistics->setVisible(statistics->columnCount() > 0);
    };
    connect(statistics, &QAbstractItemModel::modelReset, label_statistics, relabel);
    relabel();

    // The selected rows of the records table, as ranges of rows.
    QItemSelectionModel *selection = ui->tableWidget_data->selectionModel();
    statistics->setSelectedRows([selection] {
        std::vector<RecordStatistics::RowRange> rows;
        for (const QItemSelectionRange &range : selection->selection())
            rows.emplace_back(range.top(), range.bottom());
        return rows;
    });
    connect(selection, &QItemSelectionModel::selectionChanged, statistics, &StatisticsTableModel::refresh);
}

void FirstPage::setLanguageFlag(bool chinese)
{
    languageFlag = chinese;
    model->setChinese(chinese);
    pushButton_history->setText(text(Text::HistoryButton));
    ui->tableWidget_data->enableRowDeletion(text(Text::DeleteButton));
    setShortcuts();
    pushButton_report->setText(ReportTexts::text(ReportText::Button, languageFlag));
}

void FirstPage::makeReport()
{
    // The report shows the table as it is: deleted rows gone, names as edited.
    ReportContent content;
    content.details.chinese = languageFlag;
    content.setMeterFacts(MeterSheet::make(keyInfo, state, model->rowCount(), downloaded, languageFlag));
    content.addRecords(*model);
    if (const std::optional<ArchiveNotes> notes = WindowArchive::notesOf(downloadId()))
        ReportRequest::proposeNotes(content.details, *notes);
    ReportRequest::run(this, content, *dialogs, languageFlag);
}

void FirstPage::openHistory()
{
    HistoryDialog history(languageFlag, *dialogs, this);
    history.exec();
}

QString FirstPage::text(Text id) const
{
    return TextCatalogue::text(id, languageFlag);
}

void FirstPage::inform(Text message)
{
    dialogs->information(this, text(Text::Tip), text(message));
}

bool FirstPage::ask(Text question)
{
    return dialogs->question(this, text(Text::Tip), text(question));
}

void FirstPage::loadMeterCatalog()
{
    CatalogLoader::loadMeterCatalog(catalogDirectory, meterCatalog);
    // Empty, it lets every meter through with the current kind; with rows but no usable one, it
    // matches next to no meter: either way worth a line in the log.
    if (const QString problem = CatalogLoader::meterCatalogProblem(catalogDirectory, meterCatalog); !problem.isEmpty())
        qWarning().noquote() << QStringLiteral("meter catalog in %1 is unusable: %2").arg(catalogDirectory, problem);
}

void FirstPage::loadUnitCatalog()
{
    CatalogLoader::loadUnitCatalog(catalogDirectory, unitCatalog);
}

void FirstPage::loadProbeCatalog()
{
    CatalogLoader::loadProbeCatalog(catalogDirectory, probeNames);
}

void FirstPage::setUpColumns()
{
    model->setUpColumns(state.uiIndex, state.mode, state.unitSlots, unitCatalog);
}

QStringList FirstPage::exportHeaders() const
{
    return ColumnModel::exportHeaders(state.uiIndex, state.mode, state.unitSlots, languageFlag);
}

void FirstPage::identifyMeter()
{
    if (!connection.isLinkOpen())
        return;

    keyInfo = KeyInfo();
    MeterFlow flow(connection.protocol(), state);
    const MeterFlow::Result result = flow.identify(meterCatalog, keyInfo);
    if (result != MeterFlow::KeyInfoFailed) {
        ui->lineEdit_serialNo->setText(MeterFlow::serialText(keyInfo));
        ui->lineEdit_firmwareVersion->setText(MeterFlow::firmwareText(keyInfo));
    }
    if (const auto message = MeterFlow::message(result)) {
        inform(*message);
        return;
    }

    const MeterKind *kind = MeterKind::find(state.uiIndex);
    if (kind && !kind->hasSpectra) {
        // Such meters (the probe meters) have no spectra; the button stays hidden for the rest
        // of the run. Their records name their probes.
        ui->pushButton_spectralData->hide();
        loadProbeCatalog();
    }
    setUpColumns();
}

void FirstPage::on_pushButton_readRecords_clicked()
{
    if (!connection.isLinkOpen())
        return;

    if (model->rowCount() > 0) {
        // The download replaces the table: saved first, or emptied at once.
        if (ask(Text::SaveFirstQuestion))
            exportToWorkbook(TableExport::DeclinedRetry::EmptyTable);
        else
            model->clear();
        // Only a cancelled export leaves rows: they stay, and nothing is downloaded over them.
        if (model->rowCount() > 0)
            return;
    }

    DialogDownloadProgress progress(*dialogs, this, languageFlag, connection);
    MeterFlow::Download download;
    MeterFlow flow(connection.protocol(), state);
    const MeterFlow::Result result = flow.download(MeterFlow::Records, download, &progress, [this] { setUpColumns(); });
    if (const auto message = MeterFlow::message(result)) {
        // The message shows while the progress dialog is still up; it goes once the user closed it.
        inform(*message);
        progress.hide();
        return;
    }
    if (result != MeterFlow::Done)
        return;
    downloaded = QDateTime::currentDateTime();
    appendRecords(download);
    // Archived on a thread of its own while the rows show; a download the archive cannot keep
    // still shows, and the user is told once why it was not kept. Edits made meanwhile wait for
    // the download's archive id.
    const QPointer<TableEditSaver> saver = followEdits();
    WindowArchive::archiveInBackground({keyInfo, state, MeterFlow::Records, unitCatalog, probeNames, downloaded},
                                       download, this,
                                       [this, saver](qint64 id, const std::optional<QString> &notArchived) {
                                           if (saver)
                                               saver->setDownload(id);
                                           if (notArchived)
                                               dialogs->information(this, text(Text::Tip),
                                                                    text(Text::ArchiveNotStored).arg(*notArchived));
                                       },
                                       saver->whenArchived());
}

TableEditSaver *FirstPage::followEdits()
{
    if (edits)
        edits->finish();
    edits = new TableEditSaver(*model, [this] { return TableEdits::stateOf(*model); }, this);
    connect(edits, &TableEditSaver::saveFailed, this, [this](const QString &reason) {
        dialogs->information(this, text(Text::Tip), text(Text::EditsNotSaved).arg(reason));
    });
    return edits;
}

qint64 FirstPage::downloadId() const
{
    return edits && edits->isFollowing() ? qMax<qint64>(edits->download(), 0) : 0;
}

void FirstPage::appendRecords(const MeterFlow::Download &download)
{
    const int before = model->rowCount();
    model->appendDownload(state.uiIndex, state.mode, download, probeNames);
    if (model->rowCount() > before)
        ui->tableWidget_data->scrollToBottom();
}

void FirstPage::slot_deleteRow(int row)
{
    model->removeRecords({row});
}

void FirstPage::on_pushButton_clearData_clicked()
{
    if (model->rowCount() > 0 && !ask(Text::ClearQuestion))
        return;
    model->clear();
}

bool FirstPage::on_pushButton_exportExcel_clicked()
{
    return exportToWorkbook(TableExport::DeclinedRetry::KeepTable);
}

bool FirstPage::exportToWorkbook(TableExport::DeclinedRetry declinedRetry)
{
    // The columns are titled with the export headers (units from the built-in unit table); the
    // table is emptied after a successful export, and after a declined retry as `declinedRetry` says.
    // The workbook's further sheets: about the meter, and the statistics of every row exported.
    const QStringList headers = exportHeaders();
    RecordStatistics statistics;
    statistics.start(*model);
    statistics.addRows(*model);
    // The sheet about the meter carries what the user wrote about the download in the history.
    const ArchiveNotes notes = WindowArchive::notesOf(downloadId()).value_or(ArchiveNotes());
    const QList<ExportSheet> sheets{MeterSheet::make(keyInfo, state, model->rowCount(), downloaded, languageFlag, notes),
                                    statistics.sheet(headers, languageFlag)};
    return TableExport::exportTable(this, model->exportTable(headers), sheets, model->rowCount(), *dialogs,
                                    languageFlag, declinedRetry, [this] { model->clear(); });
}

void FirstPage::on_pushButton_spectralData_clicked()
{
    // The spectral dialog gets the meter kind, its own copy of the unit catalog and the language,
    // and lives for one exec(): nothing of its content survives.
    MeterPage spectralPage(state.uiIndex, unitCatalog, languageFlag, connection, *dialogs);
    spectralPage.setMeterIdentity(keyInfo);
    spectralPage.exec();
}

void FirstPage::on_tableWidget_data_cellDoubleClicked(int row, int column)
{
    // Only record names can be edited, and only through a double click; the export takes them
    // from the model.
    const MeterKind *kind = MeterKind::find(state.uiIndex);
    if (!kind || !kind->nameColumn || !model->isNameColumn(column))
        return;
    const QModelIndex index = model->index(row, column);
    if (index.isValid())
        ui->tableWidget_data->edit(index);
}

void FirstPage::resetPage()
{
    ui->lineEdit_serialNo->clear();
    ui->lineEdit_firmwareVersion->clear();
    model->clear();
}

void FirstPage::languageChange()
{
    ui->retranslateUi(this);
    pushButton_history->setText(text(Text::HistoryButton));
    ui->tableWidget_data->enableRowDeletion(text(Text::DeleteButton));
    setShortcuts();
    pushButton_report->setText(ReportTexts::text(ReportText::Button, languageFlag));
    // The model makes every title and cell text in the language it is set to: marker cells and
    // delete buttons follow, record names stay as they are.
    model->setChinese(languageFlag);
    setUpColumns();
}
