#include "MeterPage.h"

#include "MeterConnection.h"
#include "MeterProtocol.h"
#include "RecordDecoder.h"
#include "RecordDownload.h"
#include "RecordMessages.h"
#include "RecordRowTexts.h"
#include "SpectralValues.h"
#include "SpectrumChartGeometry.h"
#include "SpectrumChartPainter.h"
#include "TableExport.h"
#include "UserDialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <QTableWidget>

#include <memory>

namespace {

constexpr int unitSlotCount = 60;
// Unit slot 15 + i holds the unit of the value at 400 + 10·i nm.
constexpr int firstWavelengthSlot = 15;

QTableWidgetItem *centredItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

} // namespace

MeterPage::MeterPage(int uiIndex, const UnitCatalog &unitCatalog, bool languageFlag, MeterConnection &connection,
                     UserDialogs &dialogs, QWidget *parent)
    : QDialog(parent),
      unitCatalog(unitCatalog),
      uiIndex(uiIndex),
      languageFlag(languageFlag),
      connection(connection),
      dialogs(dialogs)
{
    setUpForm();

    if (const QScreen *shown = screen()) {
        const QRect available = shown->availableGeometry();
        resize(available.width(), available.height() - 100);
    }
    // No help button in the title bar.
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    mode = 0;
    if (!readUnitSlots()) {
        inform(RecordMessages::UnitNumbersFailed);
        return;
    }
    if ((uiIndex == 1 || uiIndex == 4) && !readMeterMode()) {
        inform(RecordMessages::ModeFailed);
        return;
    }
    tableWidget_data->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tableWidget_data->setFont(QFont(QStringLiteral("Microsoft Yahei"), 10));
    setUpSpectralTable();
}

MeterPage::~MeterPage() = default;

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
        button->setMinimumSize(QSize(200, 35));
        gridLayout_meterPage->addWidget(button, 0, column, 1, 1);
        return button;
    };
    pushButton_readRecords = makeButton("pushButton_readRecords", 1);
    pushButton_readRecords->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);
    pushButton_clearData = makeButton("pushButton_clearData", 2);
    pushButton_exportExcel = makeButton("pushButton_exportExcel", 3);

    tableWidget_data = new QTableWidget(this);
    tableWidget_data->setObjectName(QStringLiteral("tableWidget_data"));
    tableWidget_data->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableWidget_data->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableWidget_data->horizontalHeader()->setVisible(false);
    tableWidget_data->verticalHeader()->setVisible(false);
    gridLayout_meterPage->addWidget(tableWidget_data, 1, 0, 1, 4);

    // Only reserves the chart's area: the dialog paints the chart over it.
    widget_chart = new QWidget(this);
    widget_chart->setObjectName(QStringLiteral("widget_chart"));
    widget_chart->setMinimumSize(QSize(0, 200));
    // A style sheet may give every widget a background; this one must stay see-through.
    widget_chart->setStyleSheet(QStringLiteral("background:transparent;"));
    gridLayout_meterPage->addWidget(widget_chart, 2, 0, 1, 4);

    retranslateForm();
    QMetaObject::connectSlotsByName(this);
}

void MeterPage::retranslateForm()
{
    setWindowTitle(tr("光谱数据"));
    pushButton_readRecords->setText(tr("读取测量记录"));
    pushButton_clearData->setText(tr("清除数据"));
    pushButton_exportExcel->setText(tr("导出Excel"));
}

QString MeterPage::text(const char *chinese, const char *english) const
{
    return QString::fromUtf8(languageFlag ? chinese : english);
}

QString MeterPage::text(RecordMessages::Message message) const
{
    return RecordMessages::text(message, languageFlag);
}

void MeterPage::inform(RecordMessages::Message message)
{
    dialogs.information(this, RecordMessages::title(languageFlag), text(message));
}

bool MeterPage::readUnitSlots()
{
    unitSlots.clear();
    return connection.isLinkOpen() && connection.protocol().readUnitNumbers(unitSlots) >= 0;
}

bool MeterPage::readMeterMode()
{
    return connection.isLinkOpen() && connection.protocol().readMode(mode, uiIndex) >= 0;
}

void MeterPage::setUpSpectralTable()
{
    if (unitSlots.size() < unitSlotCount)
        return;
    decimals.clear();

    bool fits = true;
    for (int i = 0; i < SpectralRecord::valueCount && fits; ++i) {
        const int slot = unitSlots.at(firstWavelengthSlot + i);
        fits = slot >= 0 && slot < unitCatalog.size() && unitCatalog.at(slot).size() == 3;
    }

    QStringList titles;
    if (fits) {
        for (int i = 0; i < SpectralRecord::valueCount; ++i)
            decimals.append(unitCatalog.at(unitSlots.at(firstWavelengthSlot + i)).at(2).toInt());
        titles << text("序号", "NO");
        if (uiIndex == 4)
            titles << text("名称", "Test Name");
        for (int i = 0; i < SpectralRecord::valueCount; ++i)
            titles << QStringLiteral("%1nm").arg(SpectralRecord::firstWavelength + SpectralRecord::wavelengthStep * i);
        titles << text("曲线", "Curve") << text("操作", "Operation");
    }

    tableWidget_data->setColumnCount(int(titles.size()));
    tableWidget_data->setRowCount(1);
    records.clear();
    update();

    for (int c = 0; c < titles.size(); ++c) {
        if (c == titles.size() - 2) {
            auto *box = new QCheckBox(titles.at(c));
            box->setChecked(true);
            connect(box, &QCheckBox::clicked, this, &MeterPage::slot_updateChart);
            tableWidget_data->setCellWidget(0, c, box);
        } else {
            tableWidget_data->setItem(0, c, centredItem(titles.at(c)));
        }
    }
}

bool MeterPage::appendSpectralRow(const SpectralRecord &record, const QString &name)
{
    const int firstValueColumn = uiIndex == 4 ? 2 : 1;
    const int columns = tableWidget_data->columnCount();
    // Without wavelength columns (a unit catalog that does not fit the meter) no row can be shown.
    if (decimals.size() < SpectralRecord::valueCount || columns != firstValueColumn + SpectralRecord::valueCount + 2)
        return false;

    const int r = tableWidget_data->rowCount();
    tableWidget_data->setRowCount(r + 1);
    tableWidget_data->setItem(r, 0, new QTableWidgetItem(QString::number(r)));
    if (uiIndex == 4)
        tableWidget_data->setItem(r, 1, new QTableWidgetItem(name));
    for (int i = 0; i < SpectralRecord::valueCount; ++i) {
        tableWidget_data->setItem(
            r, firstValueColumn + i,
            new QTableWidgetItem(RecordRowTexts::fieldText({record.values[size_t(i)], {}}, decimals.at(i))));
    }
    for (int c = 0; c <= columns - 3; ++c)
        tableWidget_data->item(r, c)->setTextAlignment(Qt::AlignCenter);

    auto *box = new QCheckBox;
    box->setChecked(record.curveVisible);
    connect(box, &QCheckBox::clicked, this, &MeterPage::slot_updateChart);
    tableWidget_data->setCellWidget(r, columns - 2, box);

    auto *button = new QPushButton(text(RecordMessages::DeleteButton));
    button->setStyleSheet(QStringLiteral("min-height:12px;padding:0px;"));
    connect(button, &QPushButton::clicked, this, &MeterPage::slot_deleteRow);
    tableWidget_data->setCellWidget(r, columns - 1, button);

    update();
    tableWidget_data->scrollToBottom();
    return true;
}

void MeterPage::resetSpectralTable()
{
    tableWidget_data->setRowCount(1);
    records.clear();
    update();
}

int MeterPage::rowOfCellWidget(const QObject *widget, int column) const
{
    if (!widget || column < 0)
        return -1;
    for (int r = 0; r < tableWidget_data->rowCount(); ++r) {
        if (tableWidget_data->cellWidget(r, column) == widget)
            return r;
    }
    return -1;
}

QCheckBox *MeterPage::titleCheckBox() const
{
    const int column = tableWidget_data->columnCount() - 2;
    return column >= 0 && tableWidget_data->rowCount() > 0
               ? qobject_cast<QCheckBox *>(tableWidget_data->cellWidget(0, column))
               : nullptr;
}

void MeterPage::slot_updateChart(bool checked)
{
    const int column = tableWidget_data->columnCount() - 2;
    const int row = rowOfCellWidget(sender(), column);
    if (row == 0) {
        for (SpectralRecord &record : records)
            record.curveVisible = checked;
        for (int r = 1; r < tableWidget_data->rowCount(); ++r) {
            if (auto *box = qobject_cast<QCheckBox *>(tableWidget_data->cellWidget(r, column)))
                box->setChecked(checked);
        }
    } else if (row >= 1) {
        if (int(records.size()) >= row)
            records[size_t(row - 1)].curveVisible = checked;
        // Unticking one curve unticks the title box; ticking never ticks it.
        if (!checked) {
            if (QCheckBox *title = titleCheckBox())
                title->setChecked(false);
        }
    }
    update();
}

void MeterPage::slot_deleteRow()
{
    const int row = rowOfCellWidget(sender(), tableWidget_data->columnCount() - 1);
    if (row >= 1 && int(records.size()) >= row) {
        records.erase(records.begin() + (row - 1));
        tableWidget_data->removeRow(row);
        for (int i = 1; i < tableWidget_data->rowCount(); ++i)
            tableWidget_data->setItem(i, 0, centredItem(QString::number(i)));
    }
    update();
}

void MeterPage::on_pushButton_clearData_clicked()
{
    if (tableWidget_data->rowCount() > 1
        && !dialogs.question(this, RecordMessages::title(languageFlag), text(RecordMessages::ClearQuestion)))
        return;
    resetSpectralTable();
}

void MeterPage::on_tableWidget_data_cellDoubleClicked(int row, int column)
{
    if (uiIndex != 4 || column != 1 || row < 1)
        return;
    if (QTableWidgetItem *item = tableWidget_data->item(row, 1))
        tableWidget_data->editItem(item);
}

void MeterPage::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    const SpectrumChart chart = SpectrumChartGeometry::compute(QRectF(widget_chart->geometry()), records, languageFlag);
    SpectrumChartPainter::draw(painter, chart);
}

void MeterPage::on_pushButton_readRecords_clicked()
{
    if (!connection.isLinkOpen())
        return;
    if (tableWidget_data->rowCount() >= 2) {
        if (dialogs.question(this, RecordMessages::title(languageFlag), text(RecordMessages::SaveFirstQuestion)))
            on_pushButton_exportExcel_clicked(); // the download goes on whatever the export did
        else
            resetSpectralTable();
    }
    downloadRecords();
}

void MeterPage::downloadRecords()
{
    std::unique_ptr<ProgressReporter> progress;
    RecordDownload::Callbacks callbacks;
    callbacks.slotsRead = [this] { setUpSpectralTable(); };
    callbacks.transferStarting = [this, &progress](int chunks) {
        progress =
            dialogs.progress(this, text(RecordMessages::ReadingProgress), text(RecordMessages::CancelButton), chunks);
    };
    callbacks.chunkRead = [&progress](int chunkCounter) {
        if (progress)
            progress->setValue(chunkCounter);
    };

    RecordDownload download(connection.protocol(), RecordDownload::Spectra);
    const RecordDownload::Result result = download.run(uiIndex, mode, unitSlots, callbacks);
    if (const auto message = RecordDownload::message(result)) {
        inform(*message);
        if (progress)
            progress->hide();
        return;
    }
    if (result != RecordDownload::Downloaded)
        return;

    // Every block has arrived: only now are rows added, so a failed transfer leaves none.
    for (qint64 k = 0; k < download.recordCount(); ++k) {
        SpectralRecord record;
        if (!SpectralValues::extract(download.recordMemory(), int(k), uiIndex, mode, record.values))
            break;
        const QString name = uiIndex == 4 ? RecordDecoder::recordName(download.nameMemory(), int(k)) : QString();
        if (!appendSpectralRow(record, name))
            break;
        records.push_back(record);
    }
}

bool MeterPage::on_pushButton_exportExcel_clicked()
{
    // Rows below the title row go out, titled by the title row; the table keeps its title row.
    return TableExport::exportTable(this, tableWidget_data, dialogs, languageFlag, TableExportLayout::spectralTable(),
                                    [this] { resetSpectralTable(); });
}
