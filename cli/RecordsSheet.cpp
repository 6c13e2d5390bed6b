#include "RecordsSheet.h"

#include "ColumnModel.h"
#include "ExportTable.h"
#include "RecordDecoder.h"
#include "RecordDownload.h"
#include "RecordRowTexts.h"
#include "RowLayout.h"

RecordsSheet::RecordsSheet(const UnitCatalog &unitCatalog, const ProbeNames &probeNames, bool languageFlag)
    : unitCatalog(unitCatalog),
      probeNames(probeNames),
      languageFlag(languageFlag)
{}

void RecordsSheet::setUpColumns(int uiIndex, int mode, const QList<int> &unitSlots)
{
    const ColumnSetup setup = ColumnModel::setUpColumns(uiIndex, mode, unitSlots, unitCatalog, languageFlag);
    if (setup.unchanged)
        return;
    setup.applyDecimals(decimalsLists);
    headers = setup.headers;
}

void RecordsSheet::appendRecords(const RecordDownload &download, int uiIndex, int mode)
{
    const RowLayout *layout = RowLayout::forKind(uiIndex, mode);
    if (!layout)
        return;
    const RecordDecoder decoder(*layout, languageFlag, probeNames);
    const QByteArray &records = download.recordMemory();
    const QByteArray &names = download.nameMemory();
    const qint64 count = qMin<qint64>(download.recordCount(), decoder.availableRecords(records, names));
    const QList<int> &decimals = decimalsLists[size_t(layout->uiIndex - 1)];
    DecodedRecord record;
    for (int j = 0; j < count; ++j) {
        QStringList cells;
        if (!decoder.decode(records, names, j, record) || !RecordRowTexts::cells(*layout, record, decimals, cells))
            continue;
        // A cell past the table's columns has nowhere to go, as in the page's table.
        while (cells.size() > headers.size())
            cells.removeLast();
        rows << cells;
    }
}

ExportTable RecordsSheet::exportTable(int uiIndex, int mode, const QList<int> &unitSlots) const
{
    // The page's table has one more column than the sheet: the delete buttons.
    return ExportTable::fromTexts(ColumnModel::exportHeaders(uiIndex, mode, unitSlots, languageFlag), rows,
                                  qMax(columnCount() - 1, 0));
}
