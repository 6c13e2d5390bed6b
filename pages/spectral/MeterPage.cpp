// SPDX-License-Identifier: GPL-3.0-or-later
#include "MeterPage.h"

#include "ButtonKeys.h"
#include "ChromaticityChartView.h"
#include "ColourTableModel.h"
#include "DataTableView.h"
#include "DialogDownloadProgress.h"
#include "MeterConnection.h"
#include "MeterFlow.h"
#include "MeterSheet.h"
#include "ReportRequest.h"
#include "ReportTexts.h"
#include "SpectralComparison.h"
#include "SpectralTableModel.h"
#include "SpectrumChartView.h"
#include "TableEditSaver.h"
#include "TableExport.h"
#include "UserDialogs.h"
#include "WindowArchive.h"
#include "WindowFont.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>
#include <QScrollBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSpacerItem>
#include <QSplitter>

MeterPage::MeterPage(int uiIndex, const UnitCatalog &unitCatalog, bool languageFlag, MeterConnection &connection,
                     UserDialogs &dialogs, QWidget *parent)
    : QDialog(parent),
      model(new SpectralTableModel(uiIndex, this)),
      colours(new ColourTableModel(*model, this)),
      unitCatalog(unitCatalog),
      languageFlag(languageFlag),
      connection(&connection),
      dialogs(dialogs)
{
    state.uiIndex = uiIndex;
    model->setChinese(languageFlag);
    setUpForm();
    fitScreen();

    if (!readSlotsAndMode())
        return;
    tableWidget_data->setFont(windowFont(10));
    setUpTable();
}

MeterPage::MeterPage(const SpectralComparison &comparison, bool languageFlag, UserDialogs &dialogs, QWidget *parent)
    : QDialog(parent),
      model(new SpectralTableModel(comparison.uiIndex(), this)),
      colours(new ColourTableModel(*model, this)),
      languageFlag(languageFlag),
      comparisonSheet(comparison.meterSheet(languageFlag)),
      connection(nullptr),
      dialogs(dialogs)
{
    setObjectName(QStringLiteral("MeterPage_comparison"));
    state.uiIndex = comparison.uiIndex();
    model->setChinese(languageFlag);
    setUpForm();
    // Nothing to read: the records are the archive's.
    pushButton_readRecords->hide();
    setWindowTitle(text(Text::ComparisonTitle));
    fitScreen();
    tableWidget_data->setFont(windowFont(10));
    comparison.fill(*model);
}

void MeterPage::fitScreen()
{
    if (const QScreen *shown = screen()) {
        // The whole screen but a margin for the title bar and the panel, never less than fits.
        const QRect available = shown->availableGeometry();
        resize(qMax(minimumSizeHint().width(), available.width()),
               qMax(minimumSizeHint().height(), available.height() - 100));
    }
    // No help button in the title bar.
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
}

ExportSheet MeterPage::meterSheet() const
{
    if (comparisonSheet)
        return *comparisonSheet;
    // The sheet about the meter carries what the user wrote about the download in the history.
    return MeterSheet::make(keyInfo, state, model->recordCount(), downloaded, languageFlag,
                            WindowArchive::notesOf(downloadId()).value_or(ArchiveNotes()));
}

MeterPage::~MeterPage()
{
    // The dialog closes: the table's last changes still go to the archive.
    if (edits)
        edits->finish();
}

qint64 MeterPage::downloadId() const
{
    return edits && edits->isFollowing() ? qMax<qint64>(edits->download(), 0) : 0;
}

const std::vector<SpectralRecord> &MeterPage::spectralRecords() const
{
    return model->records();
}

void MeterPage::setUpForm()
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("MeterPage"));
    resize(1960, 800);

    gridLayout_meterPage = new QGridLayout(this);
    gridLayout_meterPage->setObjectName(QStringLiteral("gridLayout_meterPage"));
    gridLayout_meterPage->setSpacing(10);
    gridLayout_meterPage->setContentsMargins(10, 10, 10, 10);

    horizontalSpacer = new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
    gridLayout_meterPage->addItem(horizontalSpacer, 0, 0, 1, 1);

    const auto makeButton = [this](const char *name, int column) {
        auto *button = new QPushButton(this);
        button->setObjectName(QLatin1String(name));
        button->setMinimumSize(QSize(140, 35));
        gridLayout_meterPage->addWidget(button, 0, column, 1, 1);
        return button;
    };
    pushButton_readRecords = makeButton("pushButton_readRecords", 1);
    pushButton_readRecords->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);
    pushButton_clearData = makeButton("pushButton_clearData", 2);
    pushButton_exportExcel = makeButton("pushButton_exportExcel", 3);
    pushButton_exportColour = makeButton("pushButton_exportColour", 4);
    pushButton_report = makeButton("pushButton_report", 5);
    connect(pushButton_report, &QPushButton::clicked, this, &MeterPage::makeReport);

    tableWidget_data = new DataTableView(this);
    tableWidget_data->setObjectName(QStringLiteral("tableWidget_data"));
    tableWidget_data->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableWidget_data->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableWidget_data->horizontalHeader()->setVisible(true);
    tableWidget_data->verticalHeader()->setVisible(false);
    tableWidget_data->setModel(model);
    // The table above the charts, the boundary movable; what the user set is kept for next time.
    splitter_page = new QSplitter(Qt::Vertical, this);
    splitter_page->setObjectName(QStringLiteral("splitter_page"));
    splitter_page->setChildrenCollapsible(false);
    splitter_page->addWidget(tableWidget_data);
    gridLayout_meterPage->addWidget(splitter_page, 1, 0, 1, 6);

    // Below the table, side by side and resizable: the spectrum chart, the chromaticity diagram
    // and the colour table.
    splitter_charts = new QSplitter(Qt::Horizontal, splitter_page);
    splitter_charts->setObjectName(QStringLiteral("splitter_charts"));
    splitter_charts->setChildrenCollapsible(false);
    QWidget *spectrumPane = makeSpectrumPane(splitter_charts);
    // The diagram with a line under it: what the meter's 400–700 nm mean for the figures.
    auto *chromaticity = new QWidget(splitter_charts);
    chromaticity->setObjectName(QStringLiteral("widget_chromaticityPane"));
    auto *chromaticityLayout = new QVBoxLayout(chromaticity);
    chromaticityLayout->setContentsMargins(0, 0, 0, 0);
    chromaticityLayout->setSpacing(2);
    widget_chromaticity = new ChromaticityChartView(*model, *colours, dialogs, languageFlag, chromaticity);
    widget_chromaticity->setObjectName(QStringLiteral("widget_chromaticity"));
    widget_chromaticity->setMinimumSize(QSize(200, 200));
    label_rangeNote = new QLabel(text(Text::ColourRangeNote), chromaticity);
    label_rangeNote->setObjectName(QStringLiteral("label_rangeNote"));
    label_rangeNote->setWordWrap(true);
    QFont small = label_rangeNote->font();
    if (small.pointSizeF() > 0)
        small.setPointSizeF(small.pointSizeF() * 0.85);
    label_rangeNote->setFont(small);
    chromaticityLayout->addWidget(widget_chromaticity, 1);
    chromaticityLayout->addWidget(label_rangeNote);
    tableView_colour = new DataTableView(splitter_charts);
    tableView_colour->setObjectName(QStringLiteral("tableView_colour"));
    tableView_colour->setModel(colours);
    tableView_colour->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableView_colour->setSelectionBehavior(QAbstractItemView::SelectRows);
    // A cut name keeps its end, where names differ by their numbers ("Office desk 1", "… 2").
    tableView_colour->setTextElideMode(Qt::ElideMiddle);
    tableView_colour->verticalHeader()->setVisible(false);
    // As small as the spectral table's: the figures fit beside the charts.
    tableView_colour->setFont(windowFont(10));
    tableView_colour->horizontalHeader()->setFont(windowFont(10)); // the header has a font of its own
    splitter_charts->addWidget(spectrumPane);
    splitter_charts->addWidget(chromaticity);
    splitter_charts->addWidget(tableView_colour);
    splitter_charts->setStretchFactor(0, 4);
    splitter_charts->setStretchFactor(1, 3);
    splitter_charts->setStretchFactor(2, 5);
    splitter_page->addWidget(splitter_charts);
    splitter_page->setStretchFactor(0, 0);
    splitter_page->setStretchFactor(1, 1);
    tableWidget_data->setMinimumHeight(60);
    restoreSplitters();
    connect(splitter_page, &QSplitter::splitterMoved, this, &MeterPage::keepSplitters);
    connect(splitter_charts, &QSplitter::splitterMoved, this, &MeterPage::keepSplitters);

    connect(tableWidget_data, &DataTableView::buttonClicked, this, &MeterPage::slot_deleteRow);
    connect(tableWidget_data, &DataTableView::deleteRowsRequested, this, [this](const QList<int> &rows) {
        // Row 0 holds the titles: it is never deleted.
        for (const int row : rows) {
            if (row >= 1)
                slot_deleteRow(row);
        }
    });
    // A table of few rows gives its height to the charts until the user moves the boundary.
    connect(model, &QAbstractItemModel::rowsInserted, this, &MeterPage::shareHeight);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &MeterPage::shareHeight);
    connect(model, &QAbstractItemModel::modelReset, this, &MeterPage::shareHeight);
    // The colour table's columns widen with their contents: measured once after a download's
    // many rows, not after each (a measure reads the rows in sight of every column).
    const auto shareWidthSoon = [this] {
        if (widthPending)
            return;
        widthPending = true;
        QMetaObject::invokeMethod(this, [this] {
            widthPending = false;
            shareWidth();
        }, Qt::QueuedConnection);
    };
    connect(colours, &QAbstractItemModel::rowsInserted, this, shareWidthSoon);
    connect(colours, &QAbstractItemModel::modelReset, this, shareWidthSoon);
    const auto followRows = [this] {
        pushButton_exportExcel->setEnabled(model->recordCount() > 0);
        pushButton_exportColour->setEnabled(model->recordCount() > 0);
    };
    connect(model, &QAbstractItemModel::rowsInserted, this, followRows);
    connect(model, &QAbstractItemModel::rowsRemoved, this, followRows);
    connect(model, &QAbstractItemModel::modelReset, this, followRows);
    followRows();
    setTabOrder(pushButton_readRecords, pushButton_clearData);
    setTabOrder(pushButton_clearData, pushButton_exportExcel);
    setTabOrder(pushButton_exportExcel, pushButton_exportColour);
    setTabOrder(pushButton_exportColour, tableWidget_data);
    setTabOrder(tableWidget_data, comboBox_scale);
    setTabOrder(comboBox_scale, tableView_colour);

    retranslateForm();
    QMetaObject::connectSlotsByName(this);
}

namespace {

const char scaleKey[] = "spectral/scale";
// The scales in the order of the choice's entries, with the names the settings keep them by.
constexpr SpectrumScale scales[] = {SpectrumScale::Relative, SpectrumScale::Normalised, SpectrumScale::Absolute};
const char *const scaleNames[] = {"relative", "normalised", "absolute"};

} // namespace

QWidget *MeterPage::makeSpectrumPane(QWidget *parent)
{
    auto *pane = new QWidget(parent);
    pane->setObjectName(QStringLiteral("widget_spectrumPane"));
    auto *layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto *choice = new QHBoxLayout;
    auto *label = new QLabel(text(Text::SpectrumScaleLabel), pane);
    label->setObjectName(QStringLiteral("label_scale"));
    comboBox_scale = new QComboBox(pane);
    comboBox_scale->setObjectName(QStringLiteral("comboBox_scale"));
    comboBox_scale->setToolTip(text(Text::SpectrumScaleTip));
    comboBox_scale->setMinimumContentsLength(12);
    label->setBuddy(comboBox_scale);
    for (const char *name : scaleNames)
        comboBox_scale->addItem(QString(), QLatin1String(name));
    choice->addWidget(label);
    // The choice takes the room first (up to its entries' width), then the space after it.
    choice->addWidget(comboBox_scale, 1);
    choice->addStretch(0);
    layout->addLayout(choice);
    widget_chart = new SpectrumChartView(*model, dialogs, languageFlag, pane);
    widget_chart->setObjectName(QStringLiteral("widget_chart"));
    // Narrow enough to leave the colour table its columns at 1280×720; the wavelength labels
    // thin out to every 100 nm there.
    widget_chart->setMinimumSize(QSize(260, 200));
    layout->addWidget(widget_chart, 1);
    nameScaleEntries();
    connect(model, &QAbstractItemModel::modelReset, this, &MeterPage::nameScaleEntries);

    const int kept = comboBox_scale->findData(QSettings().value(QLatin1String(scaleKey)).toString());
    comboBox_scale->setCurrentIndex(qMax(kept, 0));
    widget_chart->setScaleMode(scales[comboBox_scale->currentIndex()]);
    connect(comboBox_scale, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0)
            return;
        widget_chart->setScaleMode(scales[index]);
        QSettings().setValue(QLatin1String(scaleKey), comboBox_scale->itemData(index));
    });
    return pane;
}

void MeterPage::nameScaleEntries()
{
    QString absolute = text(Text::SpectrumScaleAbsolute);
    if (!model->spectralUnit().isEmpty())
        absolute += QStringLiteral(" (%1)").arg(model->spectralUnit());
    comboBox_scale->setItemText(0, text(Text::SpectrumScaleRelative));
    comboBox_scale->setItemText(1, text(Text::SpectrumScaleNormalised));
    comboBox_scale->setItemText(2, absolute);
    // As wide as its entries where there is room; on a small screen it gives way to the colour
    // table, down to a dozen characters (its list still opens as wide as its entries).
    comboBox_scale->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    comboBox_scale->setMaximumWidth(comboBox_scale->sizeHint().width());
    comboBox_scale->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
}

void MeterPage::retranslateForm()
{
    setWindowTitle(tr("光谱数据"));
    pushButton_readRecords->setText(tr("读取测量记录"));
    pushButton_clearData->setText(tr("清除数据"));
    pushButton_exportExcel->setText(tr("导出Excel"));
    pushButton_exportColour->setText(text(Text::ExportColourButton));
    pushButton_report->setText(ReportTexts::text(ReportText::Button, languageFlag));
    tableWidget_data->enableRowDeletion(text(Text::DeleteButton));
    ButtonKeys::setShortcut(pushButton_readRecords, QKeySequence(Qt::CTRL | Qt::Key_R));
    ButtonKeys::setShortcut(pushButton_exportExcel, QKeySequence(Qt::CTRL | Qt::Key_E));
    ButtonKeys::removeDefaultButtons(this);
}

namespace {

const char pageSplitterKey[] = "spectral/tableAndCharts";
const char chartSplitterKey[] = "spectral/charts";

} // namespace

void MeterPage::restoreSplitters()
{
    const QSettings settings;
    userSplit = splitter_page->restoreState(settings.value(QLatin1String(pageSplitterKey)).toByteArray());
    userSplitCharts = splitter_charts->restoreState(settings.value(QLatin1String(chartSplitterKey)).toByteArray());
}

void MeterPage::keepSplitters()
{
    if (sender() == splitter_page)
        userSplit = true;
    if (sender() == splitter_charts)
        userSplitCharts = true;
    QSettings settings;
    settings.setValue(QLatin1String(pageSplitterKey), splitter_page->saveState());
    settings.setValue(QLatin1String(chartSplitterKey), splitter_charts->saveState());
}

void MeterPage::shareHeight()
{
    if (userSplit)
        return;
    // The table as high as its rows need (a frame and a horizontal scroll bar included), at most
    // half of the room; the charts take the rest.
    const int room = splitter_page->height() - splitter_page->handleWidth();
    if (room <= 0)
        return;
    const int rows = model->rowCount();
    const QHeaderView *titles = tableWidget_data->horizontalHeader();
    const int content = 2 * tableWidget_data->frameWidth() + tableWidget_data->horizontalScrollBar()->sizeHint().height()
                        + (titles->isHidden() ? 0 : titles->sizeHint().height())
                        + rows * tableWidget_data->verticalHeader()->defaultSectionSize();
    const int table = qMin(qMax(tableWidget_data->minimumHeight(), content), qMax(room / 2, tableWidget_data->minimumHeight()));
    splitter_page->setSizes({table, room - table});
}

void MeterPage::shareWidth()
{
    if (userSplitCharts)
        return;
    const int room = splitter_charts->width() - 2 * splitter_charts->handleWidth();
    if (room <= 0)
        return;
    // The table first, as wide as its columns need; the charts take the rest, never less than
    // their minimum widths (then the names in the table are cut, with their tooltips whole).
    int chartsMinimum = 0;
    for (int i = 0; i < 2; ++i) {
        const QWidget *chart = splitter_charts->widget(i);
        chartsMinimum += qMax(chart->minimumWidth(), chart->minimumSizeHint().width());
    }
    const int colour = qMax(qMin(tableView_colour->naturalWidth(), room - chartsMinimum), 0);
    const int charts = room - colour;
    // The spectrum, with its legend, a little wider than the diagram.
    splitter_charts->setSizes({charts * 4 / 7, charts - charts * 4 / 7, colour});
}

void MeterPage::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    shareHeight();
    shareWidth();
}

void MeterPage::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    shareWidth();
}

QString MeterPage::text(Text id) const
{
    return TextCatalogue::text(id, languageFlag);
}

void MeterPage::inform(Text id)
{
    dialogs.information(this, text(Text::Tip), text(id));
}

bool MeterPage::readSlotsAndMode()
{
    // Without a link nothing is asked: it is the unit slots that could not be read.
    if (!connection || !connection->isLinkOpen()) {
        inform(Text::UnitNumbersFailed);
        return false;
    }
    if (const auto message = MeterFlow::message(MeterFlow(connection->protocol(), state).readSlotsAndMode())) {
        inform(*message);
        return false;
    }
    return true;
}

void MeterPage::setUpTable()
{
    model->setUp(state.unitSlots, unitCatalog);
}

void MeterPage::slot_updateChart()
{
    widget_chart->invalidateChart();
    widget_chromaticity->invalidateChart();
}

void MeterPage::slot_deleteRow(int row)
{
    model->removeRecord(row - 1);
}

void MeterPage::reject()
{
    // A comparison's records stay in the archive: closing loses nothing.
    if (!comparisonSheet && model->rowCount() > 1 && !dialogs.question(this, text(Text::Tip), text(Text::CloseSpectralQuestion)))
        return;
    QDialog::reject();
}

void MeterPage::on_pushButton_clearData_clicked()
{
    if (model->rowCount() > 1 && !dialogs.question(this, text(Text::Tip), text(Text::ClearQuestion)))
        return;
    model->clearRecords();
}

void MeterPage::on_tableWidget_data_cellDoubleClicked(int row, int column)
{
    // Only the name cells open an editor: the edit triggers are off for every other cell.
    if (row < 1 || column != model->nameColumn())
        return;
    tableWidget_data->edit(model->index(row, column));
}

void MeterPage::on_pushButton_readRecords_clicked()
{
    if (!connection || !connection->isLinkOpen())
        return;
    if (model->rowCount() >= 2) {
        // The download replaces the records: saved first, or emptied at once.
        if (dialogs.question(this, text(Text::Tip), text(Text::SaveFirstQuestion)))
            exportToWorkbook(TableExport::DeclinedRetry::EmptyTable);
        else
            model->clearRecords();
        // Only a cancelled export leaves records: they stay, and nothing is downloaded over them.
        if (model->rowCount() >= 2)
            return;
    }
    downloadRecords();
}

void MeterPage::downloadRecords()
{
    DialogDownloadProgress progress(dialogs, this, languageFlag, *connection);
    MeterFlow::Download download;
    const MeterFlow::Result result =
        MeterFlow(connection->protocol(), state).download(MeterFlow::Spectra, download, &progress, [this] {
            setUpTable();
        });
    if (const auto message = MeterFlow::message(result)) {
        inform(*message);
        progress.hide();
        return;
    }
    if (result != MeterFlow::Done)
        return;

    // Every block has arrived: only now are rows added, so a failed transfer leaves none. The
    // download is archived off this thread; one the archive cannot keep still shows, and the user is told.
    downloaded = QDateTime::currentDateTime();
    model->appendDownload(download, state.mode);
    // From now on the table's edits (names, deletions, curves) go to the download's archive entry.
    if (edits)
        edits->finish();
    edits = new TableEditSaver(*model, [this] { return TableEdits::stateOf(*model); }, this);
    connect(edits, &TableEditSaver::saveFailed, this, [this](const QString &reason) {
        dialogs.information(this, text(Text::Tip), text(Text::EditsNotSaved).arg(reason));
    });
    WindowArchive::archiveInBackground({keyInfo, state, MeterFlow::Spectra, unitCatalog, {}, downloaded}, download,
                                       this,
                                       [this, saver = QPointer<TableEditSaver>(edits)](
                                           qint64 id, const std::optional<QString> &notArchived) {
                                           if (saver)
                                               saver->setDownload(id);
                                           if (notArchived)
                                               dialogs.information(this, text(Text::Tip),
                                                                   text(Text::ArchiveNotStored).arg(*notArchived));
                                       },
                                       edits->whenArchived());
    tableWidget_data->scrollToBottom();
    slot_updateChart();
}

bool MeterPage::on_pushButton_exportExcel_clicked()
{
    return exportToWorkbook(TableExport::DeclinedRetry::KeepTable);
}

bool MeterPage::exportToWorkbook(TableExport::DeclinedRetry declinedRetry)
{
    // Rows below the title row go out, titled by the title row; the table keeps its title row.
    return TableExport::exportTable(this, model->exportTable(), {meterSheet()}, model->rowCount(), dialogs, languageFlag,
                                    declinedRetry, [this] { model->clearRecords(); });
}

bool MeterPage::on_pushButton_exportColour_clicked()
{
    // The colour table is computed from the spectra: exporting it takes nothing away from them.
    return TableExport::exportTable(this, colours->exportTable(), {meterSheet()}, colours->rowCount() + 1, dialogs,
                                    languageFlag, TableExport::DeclinedRetry::KeepTable, [] {});
}

void MeterPage::makeReport()
{
    // The report shows the dialog as it is: its records, their names and ticked curves.
    ReportContent content;
    content.details.chinese = languageFlag;
    content.setMeterFacts(meterSheet());
    content.addSpectral(*model, *colours);
    if (const std::optional<ArchiveNotes> notes = WindowArchive::notesOf(downloadId()))
        ReportRequest::proposeNotes(content.details, *notes);
    ReportRequest::run(this, content, dialogs, languageFlag);
}
