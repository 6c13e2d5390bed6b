#include "FirstPage.h"

#include "ui_FirstPage.h"

#include "CatalogLoader.h"
#include "ColumnModel.h"
#include "MeterConnection.h"
#include "MeterIdentification.h"
#include "MeterPage.h"
#include "RecordDecoder.h"
#include "RecordDownload.h"
#include "RecordRowTexts.h"
#include "RowLayout.h"
#include "TableExport.h"
#include "UserDialogs.h"
#include "ValueMarkers.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

namespace {

const char deleteButtonStyle[] = "min-height:12px;padding:0px;";

QTableWidgetItem *centredItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

} // namespace

FirstPage::FirstPage(MeterConnection &connection, UserDialogs &dialogs, const QString &catalogDirectory,
                     QWidget *parent)
    : QWidget(parent),
      ui(std::make_unique<Ui::FirstPage>()),
      connection(connection),
      dialogs(&dialogs),
      catalogDirectory(catalogDirectory)
{
    // Creates the widgets, applies the translatable texts and connects the on_ slots by name.
    ui->setupUi(this);
    ui->tableWidget_data->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    loadMeterCatalog();
    loadUnitCatalog();
}

FirstPage::~FirstPage() = default;

QString FirstPage::text(RecordMessages::Message message) const
{
    return RecordMessages::text(message, m_languageFlag);
}

void FirstPage::inform(RecordMessages::Message message)
{
    dialogs->information(this, RecordMessages::title(m_languageFlag), text(message));
}

void FirstPage::loadMeterCatalog()
{
    CatalogLoader::loadMeterCatalog(catalogDirectory, meterCatalog);
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
    const ColumnSetup setup = ColumnModel::setUpColumns(uiIndex, mode, unitSlots, unitCatalog, m_languageFlag);
    if (setup.unchanged)
        return;
    setup.applyDecimals(decimalsLists);
    ui->tableWidget_data->setColumnCount(int(setup.headers.size()));
    ui->tableWidget_data->setHorizontalHeaderLabels(setup.headers);
}

QStringList FirstPage::exportHeaders() const
{
    return ColumnModel::exportHeaders(uiIndex, mode, unitSlots, m_languageFlag);
}

void FirstPage::identifyMeter()
{
    if (!connection.isLinkOpen())
        return;

    KeyInfo keyInfo;
    const MeterIdentification::Result result =
        MeterIdentification::identify(connection.protocol(), meterCatalog, {uiIndex, mode, unitSlots}, keyInfo);
    if (result != MeterIdentification::KeyInfoFailed) {
        ui->lineEdit_serialNo->setText(MeterIdentification::serialText(keyInfo));
        ui->lineEdit_firmwareVersion->setText(MeterIdentification::firmwareText(keyInfo));
    }
    if (const auto message = MeterIdentification::message(result)) {
        inform(*message);
        return;
    }

    if (uiIndex == 6) {
        // Probe meters have no spectra; the button stays hidden for the rest of the run.
        ui->pushButton_spectralData->hide();
        loadProbeCatalog();
    }
    setUpColumns();
}

void FirstPage::on_pushButton_readRecords_clicked()
{
    if (!connection.isLinkOpen())
        return;

    QTableWidget *table = ui->tableWidget_data;
    if (table->rowCount() > 0) {
        if (dialogs->question(this, RecordMessages::title(m_languageFlag), text(RecordMessages::SaveFirstQuestion)))
            on_pushButton_exportExcel_clicked();
        else
            table->setRowCount(0);
    }

    std::unique_ptr<ProgressReporter> progress;
    RecordDownload::Callbacks callbacks;
    callbacks.slotsRead = [this] { setUpColumns(); };
    callbacks.transferStarting = [&](int chunks) {
        progress =
            dialogs->progress(this, text(RecordMessages::ReadingProgress), text(RecordMessages::CancelButton), chunks);
    };
    callbacks.chunkRead = [&](int chunkCounter) {
        if (progress)
            progress->setValue(chunkCounter);
    };

    RecordDownload download(connection.protocol(), RecordDownload::Records);
    const RecordDownload::Result result = download.run(uiIndex, mode, unitSlots, callbacks);
    if (const auto message = RecordDownload::message(result)) {
        // The message shows while the progress dialog is still up; it goes once the user closed it.
        inform(*message);
        if (progress)
            progress->hide();
        return;
    }
    if (result != RecordDownload::Downloaded)
        return;
    if (const RowLayout *layout = RowLayout::forKind(uiIndex, mode))
        appendRecords(*layout, download.recordMemory(), download.nameMemory(), download.recordCount());
}

void FirstPage::appendRecords(const RowLayout &layout, const QByteArray &recordMemory, const QByteArray &nameMemory,
                              qint64 count)
{
    const RecordDecoder decoder(layout, m_languageFlag, probeNames);
    const QList<int> &decimals = decimalsLists[size_t(layout.uiIndex - 1)];
    const qint64 available = qMin<qint64>(count, decoder.availableRecords(recordMemory, nameMemory));
    QList<QStringList> rows;
    rows.reserve(available);
    DecodedRecord record;
    QStringList cells;
    for (int j = 0; j < available; ++j) {
        if (decoder.decode(recordMemory, nameMemory, j, record)
            && RecordRowTexts::cells(layout, record, decimals, cells))
            rows.append(cells);
    }
    appendRows(layout, rows);
}

void FirstPage::appendRows(const RowLayout &layout, const QList<QStringList> &rows)
{
    if (rows.isEmpty())
        return;
    QTableWidget *table = ui->tableWidget_data;
    const int first = table->rowCount();
    // All rows in one step: the view lays itself out again after every change of the row count.
    table->setRowCount(first + int(rows.size()));
    for (int i = 0; i < rows.size(); ++i)
        fillRow(first + i, layout, rows.at(i));
    table->scrollToBottom();
}

void FirstPage::fillRow(int row, const RowLayout &layout, const QStringList &cells)
{
    QTableWidget *table = ui->tableWidget_data;
    const int columns = table->columnCount();
    // Cells past the table's columns have nowhere to go (the table would not take them).
    for (int column = 0; column < cells.size() && column < columns; ++column)
        table->setItem(row, column, centredItem(cells.at(column)));

    if (layout.deleteButtonColumn() >= columns)
        return;
    // Made in the table's viewport, where the table puts its cell widgets anyway, and styled
    // while still hidden and placed outside the view: it is polished once, and joins a repaint
    // only once the table lays it out on screen.
    auto *button = new QPushButton(text(RecordMessages::DeleteButton), table->viewport());
    button->setStyleSheet(QString::fromLatin1(deleteButtonStyle));
    button->ensurePolished();
    button->setGeometry(QRect(QPoint(-0x10000, -0x10000), button->sizeHint()));
    table->setCellWidget(row, layout.deleteButtonColumn(), button);
    connect(button, &QPushButton::clicked, this, &FirstPage::slot_deleteRow);
}

void FirstPage::slot_deleteRow()
{
    const auto *button = qobject_cast<const QPushButton *>(sender());
    if (!button)
        return;
    const int row = rowOfDeleteButton(button);
    if (row != -1)
        ui->tableWidget_data->removeRow(row);
}

int FirstPage::rowOfDeleteButton(const QWidget *button) const
{
    const QTableWidget *table = ui->tableWidget_data;
    const int lastColumn = table->columnCount() - 1;
    // The button lies over its row in the table's viewport.
    const int row = table->indexAt(button->frameGeometry().topLeft()).row();
    if (row != -1 && table->cellWidget(row, lastColumn) == button)
        return row;
    // Its geometry is stale (the view has not laid out its cell widgets since rows moved):
    // find the row that really holds it rather than delete another one, or none.
    for (int r = 0; r < table->rowCount(); ++r) {
        if (table->cellWidget(r, lastColumn) == button)
            return r;
    }
    return -1;
}

void FirstPage::on_pushButton_clearData_clicked()
{
    QTableWidget *table = ui->tableWidget_data;
    if (table->rowCount() > 0
        && !dialogs->question(this, RecordMessages::title(m_languageFlag), text(RecordMessages::ClearQuestion)))
        return;
    table->setRowCount(0);
}

bool FirstPage::on_pushButton_exportExcel_clicked()
{
    // The columns are titled with the export headers (units from the built-in unit table); the
    // table is emptied after a successful export, or when the user declines to try again.
    return TableExport::exportTable(this, ui->tableWidget_data, *dialogs, m_languageFlag,
                                    TableExportLayout::recordsTable(exportHeaders()),
                                    [this] { ui->tableWidget_data->setRowCount(0); });
}

void FirstPage::on_pushButton_spectralData_clicked()
{
    // The spectral dialog gets the meter kind, its own copy of the unit catalog and the language,
    // and lives for one exec(): nothing of its content survives.
    MeterPage spectralPage(uiIndex, unitCatalog, m_languageFlag, connection, *dialogs);
    spectralPage.exec();
}

void FirstPage::on_tableWidget_data_cellDoubleClicked(int row, int column)
{
    // Only record names (column 0 of kinds 4 and 6) can be edited; the export takes them from
    // the table.
    if ((uiIndex == 4 || uiIndex == 6) && column == 0) {
        if (QTableWidgetItem *item = ui->tableWidget_data->item(row, 0))
            ui->tableWidget_data->editItem(item);
    }
}

void FirstPage::resetPage()
{
    ui->lineEdit_serialNo->clear();
    ui->lineEdit_firmwareVersion->clear();
    ui->tableWidget_data->setRowCount(0);
}

void FirstPage::languageChange()
{
    ui->retranslateUi(this);
    setUpColumns();

    QTableWidget *table = ui->tableWidget_data;
    const int rows = table->rowCount();
    const int columns = table->columnCount();
    // Column 0 of kind 4 is the user's record name: a record called "No" stays as it is. Kind 6
    // has no no-flicker cells.
    int firstColumn = -1;
    if (uiIndex == 1 || uiIndex == 2 || uiIndex == 3 || uiIndex == 5)
        firstColumn = 0;
    else if (uiIndex == 4)
        firstColumn = 1;

    const QString noFlicker = ValueMarkers::noFlickerText(m_languageFlag);
    const QString deleteText = text(RecordMessages::DeleteButton);
    for (int row = 0; row < rows; ++row) {
        if (firstColumn >= 0) {
            for (int column = firstColumn; column <= columns - 2; ++column) {
                const QTableWidgetItem *item = table->item(row, column);
                if (item && ValueMarkers::isNoFlickerText(item->text()))
                    table->setItem(row, column, centredItem(noFlicker));
            }
        }
        if (auto *button = qobject_cast<QPushButton *>(table->cellWidget(row, columns - 1)))
            button->setText(deleteText);
    }
}
