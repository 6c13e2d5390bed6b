#pragma once

#include "CatalogTypes.h"

#include <QList>
#include <QStringList>

class ExportTable;
class RecordDownload;

// The records table of the records page without its widgets: the columns that the column set-up
// gives (titles from the unit catalog), the rows that a download appends (cell texts with the
// catalog's decimals, marker texts and names) and the table the page's export hands to the
// workbook engine. Each step follows the page's, so that the command line writes the very sheet
// the window's export writes.
class RecordsSheet
{
public:
    RecordsSheet(const UnitCatalog &unitCatalog, const ProbeNames &probeNames, bool languageFlag);

    // The page's column set-up for the kind, mode and unit slots: fewer than 60 slots leave the
    // columns and decimals as they were.
    void setUpColumns(int uiIndex, int mode, const QList<int> &unitSlots);
    // Decodes the downloaded records and appends one row per record that the page would show.
    void appendRecords(const RecordDownload &download, int uiIndex, int mode);

    int columnCount() const { return int(headers.size()); }
    int rowCount() const { return int(rows.size()); }

    // The table the export writes: the export titles (units from the built-in unit table) over
    // the columns the table has, the rows' cells, without the last (Operation) column.
    ExportTable exportTable(int uiIndex, int mode, const QList<int> &unitSlots) const;

private:
    const UnitCatalog &unitCatalog;
    const ProbeNames &probeNames;
    const bool languageFlag;
    QStringList headers;
    DecimalsLists decimalsLists;
    QList<QStringList> rows;
};
