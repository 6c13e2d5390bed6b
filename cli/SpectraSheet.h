#pragma once

#include "CatalogTypes.h"

#include <QList>
#include <QStringList>

class ExportTable;
class RecordDownload;

// The spectral table of the spectral page without its widgets: the title row ("NO", the name
// title for kind 4, "400nm" ... "700nm", the curve and Operation columns), the decimals of the
// wavelength columns from the unit catalog, one row per downloaded record, and the table the
// page's export hands to the workbook engine. Each step follows the page's, so that the command
// line writes the very sheet the window's export writes.
class SpectraSheet
{
public:
    static constexpr int valueCount = 31;

    SpectraSheet(const UnitCatalog &unitCatalog, int uiIndex, bool languageFlag);

    // The page's table set-up: fewer than 60 unit slots leave everything as it was; a wavelength
    // slot that names no usable catalog row leaves the table without columns. Rows are emptied.
    void setUp(const QList<int> &unitSlots);
    // Appends the spectral values (and, for kind 4, the name) of every downloaded record.
    void appendRecords(const RecordDownload &download, int mode);

    // The title row's texts, with the curve column's title (a check box, not a text, in the
    // table) included.
    const QStringList &titles() const { return titleTexts; }
    int recordRows() const { return int(rows.size()); }

    // The table the export writes: the title row's texts except the curve column's, the record
    // rows (row number, name for kind 4, values), without the last (Operation) column.
    ExportTable exportTable() const;

private:
    int firstValueColumn() const { return uiIndex == 4 ? 2 : 1; }

    const UnitCatalog &unitCatalog;
    const int uiIndex;
    const bool languageFlag;
    QStringList titleTexts;
    QList<int> decimals;
    QList<QStringList> rows;
};
