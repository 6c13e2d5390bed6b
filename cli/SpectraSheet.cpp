#include "SpectraSheet.h"

#include "ExportTable.h"
#include "RecordDecoder.h"
#include "RecordDownload.h"
#include "RecordRowTexts.h"
#include "SpectralValues.h"

namespace {

constexpr int unitSlotCount = 60;
// Unit slot 15 + i holds the unit of the value at 400 + 10·i nm.
constexpr int firstWavelengthSlot = 15;
constexpr int firstWavelength = 400;
constexpr int wavelengthStep = 10;

QString pick(bool chinese, const char *chineseText, const char *englishText)
{
    return QString::fromUtf8(chinese ? chineseText : englishText);
}

} // namespace

SpectraSheet::SpectraSheet(const UnitCatalog &unitCatalog, int uiIndex, bool languageFlag)
    : unitCatalog(unitCatalog),
      uiIndex(uiIndex),
      languageFlag(languageFlag)
{}

void SpectraSheet::setUp(const QList<int> &unitSlots)
{
    if (unitSlots.size() < unitSlotCount)
        return;
    decimals.clear();
    titleTexts.clear();
    rows.clear();

    for (int i = 0; i < valueCount; ++i) {
        const int slot = unitSlots.at(firstWavelengthSlot + i);
        if (slot < 0 || slot >= unitCatalog.size() || unitCatalog.at(slot).size() != 3)
            return;
    }
    for (int i = 0; i < valueCount; ++i)
        decimals << unitCatalog.at(unitSlots.at(firstWavelengthSlot + i)).at(2).toInt();
    titleTexts << pick(languageFlag, "序号", "NO");
    if (uiIndex == 4)
        titleTexts << pick(languageFlag, "名称", "Test Name");
    for (int i = 0; i < valueCount; ++i)
        titleTexts << QStringLiteral("%1nm").arg(firstWavelength + wavelengthStep * i);
    titleTexts << pick(languageFlag, "曲线", "Curve") << pick(languageFlag, "操作", "Operation");
}

void SpectraSheet::appendRecords(const RecordDownload &download, int mode)
{
    // Without wavelength columns no row can be shown.
    if (decimals.size() < valueCount || titleTexts.size() != firstValueColumn() + valueCount + 2)
        return;
    for (qint64 k = 0; k < download.recordCount(); ++k) {
        SpectralValues::Values values{};
        if (!SpectralValues::extract(download.recordMemory(), int(k), uiIndex, mode, values))
            break;
        // Row 0 of the page's table is the title row: record rows are numbered from 1.
        QStringList cells{QString::number(rows.size() + 1)};
        if (uiIndex == 4)
            cells << RecordDecoder::recordName(download.nameMemory(), int(k));
        for (int i = 0; i < valueCount; ++i)
            cells << RecordRowTexts::fieldText({values[size_t(i)], {}}, decimals.at(i));
        rows << cells;
    }
}

ExportTable SpectraSheet::exportTable() const
{
    const int tableColumns = int(titleTexts.size());
    // Without the last (Operation) column; the curve column stays, without title or cells.
    const int columns = qMax(tableColumns - 1, 0);
    const int curveColumn = tableColumns - 2;
    ExportTable table(recordRows(), columns);
    for (int c = 0; c < columns; ++c) {
        if (c != curveColumn)
            table.setHeaderText(c, titleTexts.at(c));
    }
    for (int r = 0; r < recordRows(); ++r) {
        const QStringList &cells = rows.at(r);
        for (int c = 0; c < columns && c < cells.size(); ++c)
            table.setCellText(r, c, cells.at(c));
    }
    return table;
}
