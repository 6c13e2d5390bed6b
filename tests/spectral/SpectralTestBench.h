// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CatalogTypes.h"
#include "MeterImage.h"
#include "MeterPage.h"
#include "MeterSession.h"
#include "ScriptedUserDialogs.h"
#include "SpectralRecord.h"

#include <QByteArray>
#include <QList>
#include <memory>

class DataTableView;
class VirtualMeter;

// A spectral page in front of a virtual meter, with scripted dialogs.
class SpectralTestBench
{
public:
    // Waits for the downloads' archiving, which must end before the application object does.
    ~SpectralTestBench();

    // Unit catalog rows [i, "unit i", decimals]; rows 20, 21 and 22 have 0, 1 and 2 decimals,
    // every other row 3. fieldCounts overrides the number of fields of single rows.
    static UnitCatalog unitCatalog(int rows = 30, const QMap<int, int> &fieldCounts = {});
    // Unit slot of wavelength column i (slot 15 + i) names unit 20 + i % 3: decimals i % 3.
    static int decimalsOfColumn(int i) { return i % 3; }

    // Word j of record k holds 1000·k + j + 0.3 as a float, so the values at byte 0 and at
    // byte 60 of a record differ and name the record they came from.
    static float wordValue(int k, int j) { return float(1000 * k + j) + 0.3f; }
    static QByteArray recordBytes(int k);
    // A name slot: the text's bytes, zero-padded or cut to 16 bytes.
    static QByteArray nameSlot(const QByteArray &text);

    static MeterImage image(int recordCount, quint16 mode = 0, const QList<QByteArray> &names = {});
    static MeterImage sampleImage(const QString &fileName);

    bool connect(const MeterImage &image);
    std::unique_ptr<MeterPage> page(int uiIndex, bool languageFlag = true, const UnitCatalog &catalog = unitCatalog());
    int requests() const;

    MeterSession session;
    ScriptedUserDialogs dialogs;
    std::shared_ptr<VirtualMeter> meter;
};

// The table as the user sees and uses it: the view by its object name, cell texts and check
// states from the model it shows, and mouse clicks on the shown page.
DataTableView *tableOf(const MeterPage &page);
int rowCount(const MeterPage &page);
int columnCount(const MeterPage &page);
QVariant cellData(const MeterPage &page, int row, int column, int role = Qt::DisplayRole);
QString cellText(const MeterPage &page, int row, int column);
// The check box of the curve column in a row (row 0: the title box).
bool isCurveTicked(const MeterPage &page, int row);
// Shows the page (once), then clicks the curve check box, the delete button or double-clicks a cell.
void clickCurveBox(MeterPage &page, int row);
void clickDeleteButton(MeterPage &page, int row);
void doubleClickCell(MeterPage &page, int row, int column);
void clickButton(const MeterPage &page, const char *objectName);
