// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditedDownload.h"

#include "MeterFacts.h"
#include "RecordsTableModel.h"
#include "SpectralTableModel.h"

EditedDownload::EditedDownload(const QList<RecordEdit> &edits, qint64 originalCount, DownloadTables::BatchOf original)
    : view(std::make_shared<const ArchiveEditsView>(edits)),
      keptCount(originalCount - view->deletedBefore(originalCount))
{
    if (view->deletedBefore(originalCount) == 0) {
        edited = std::move(original);
        return;
    }
    // Each run of records kept one after another is one read of the original.
    edited = [view = view, original = std::move(original)](qint64 first, int count, MeterFlow::Download &batch,
                                                           QString &error) {
        batch = MeterFlow::Download();
        batch.count = 0;
        qint64 record = count > 0 ? view->originalOf(first) : 0;
        int left = count;
        while (left > 0) {
            int run = 0;
            while (run < left && !view->isDeleted(record + run))
                ++run;
            MeterFlow::Download part;
            if (!original(record, run, part, error))
                return false;
            batch.records += part.records;
            batch.names += part.names;
            batch.count += run;
            left -= run;
            record += run;
            while (left > 0 && view->isDeleted(record))
                ++record;
        }
        return true;
    };
}

void EditedDownload::applyTo(DownloadTables &tables) const
{
    if (view->isEmpty())
        return;
    tables.setRowChanges([view = view](qint64 first, RecordsTableModel *records, SpectralTableModel *spectra) {
        const int rows = records ? records->rowCount() : spectra->recordCount();
        qint64 record = rows > 0 ? view->originalOf(first) : 0;
        for (int row = 0; row < rows; ++row, ++record) {
            while (view->isDeleted(record))
                ++record;
            if (records) {
                if (view->hasName(record) && records->isNameColumn(0))
                    records->setData(records->index(row, 0), view->name(record, QString()));
                continue;
            }
            // The spectral table's row 0 holds the titles.
            if (view->hasName(record) && spectra->nameColumn() >= 0)
                spectra->setData(spectra->index(row + 1, spectra->nameColumn()), view->name(record, QString()));
            spectra->setCurveVisible(row + 1, view->isTicked(record, spectra->records()[size_t(row)].curveVisible));
        }
    });
}
