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
    // The original is read a window at a time, the records kept picked out of it: scattered
    // deletions cost no more reads than a download without any, and a window is never more than
    // a batch (or a small minimum) long.
    edited = [view = view, original = std::move(original), originalCount](qint64 first, int count,
                                                                          MeterFlow::Download &batch, QString &error) {
        constexpr int MinimumWindow = 1024;
        batch = MeterFlow::Download();
        batch.count = count;
        qint64 record = count > 0 ? view->originalOf(first) : 0;
        for (int left = count; left > 0;) {
            const int window = int(qMin<qint64>(qMax(left, MinimumWindow), originalCount - record));
            MeterFlow::Download part;
            if (window <= 0 || !original(record, window, part, error)) {
                error = window <= 0 ? QStringLiteral("the download holds fewer records") : error;
                return false;
            }
            for (int i = 0; i < window && left > 0; ++i) {
                if (view->isDeleted(record + i))
                    continue;
                batch.records += part.records.mid(qsizetype(i) * MeterFacts::RecordSize, MeterFacts::RecordSize);
                if (!part.names.isEmpty())
                    batch.names += part.names.mid(qsizetype(i) * MeterFacts::NameSlotSize, MeterFacts::NameSlotSize);
                --left;
            }
            record += window;
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
