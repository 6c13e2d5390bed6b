// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpectralComparison.h"

#include "ColumnModel.h"
#include "DownloadArchiver.h"
#include "MeasurementArchive.h"
#include "MeterFacts.h"
#include "MeterKind.h"
#include "SpectralTableModel.h"
#include "TextCatalogue.h"

bool SpectralComparison::comparable(const ArchiveEntry &entry)
{
    const MeterKind *kind = MeterKind::find(entry.uiIndex);
    return kind && kind->hasSpectra && purposeOf(entry.table) == DownloadPurpose::Spectra;
}

bool SpectralComparison::load(MeasurementArchive &archive, const QList<qint64> &ids, bool chinese, QString &message,
                              bool original)
{
    parts.clear();
    compared.clear();
    // Nothing is kept of a comparison that cannot be made whole.
    const auto refuse = [&](const QString &why) {
        message = why;
        parts.clear();
        compared.clear();
        return false;
    };
    const auto unavailable = [&] {
        return refuse(TextCatalogue::text(Text::CliArchiveUnavailable, chinese).arg(archive.errorString()));
    };
    QList<qint64> read;
    for (const qint64 id : ids) {
        if (read.contains(id))
            continue;
        read.append(id);
        Part part;
        if (!archive.entry(id, part.entry)) {
            if (!archive.errorString().isEmpty())
                return unavailable();
            return refuse(TextCatalogue::text(Text::CliNoSuchDownload, chinese).arg(id));
        }
        // Told before the memory is read: a records download is refused however large it is.
        if (!comparable(part.entry)) {
            return refuse(TextCatalogue::text(Text::CliNotSpectral, chinese).arg(id));
        }
        ArchivedMemory memory[2];
        if (!archive.memoryExtents(id, memory))
            return unavailable();
        if (const std::optional<QString> damage = DownloadArchiver::damage(part.entry, memory, chinese)) {
            return refuse(*damage);
        }
        ArchiveEntry loaded;
        if (!archive.load(id, loaded, part.download.records, part.download.names))
            return unavailable();
        part.download.count = part.entry.recordCount;
        QList<RecordEdit> edits;
        if (!original && !archive.edits(id, edits))
            return unavailable();
        part.edits = ArchiveEditsView(edits);

        const DownloadOrigin origin = DownloadArchiver::originOf(part.entry);
        const QList<ColumnUnit> units =
            ColumnModel::unitsOfSlots({MeterFacts::FirstWavelengthSlot}, origin.state.unitSlots, origin.unitCatalog);
        const qint64 kept = part.entry.recordCount - part.edits.deletedBefore(part.entry.recordCount);
        compared.append({id, origin.keyInfo, origin.state, kept, origin.downloaded,
                         units.isEmpty() ? QString() : units.first().text, part.entry.notes});
        parts.append(std::move(part));
    }
    return true;
}

int SpectralComparison::uiIndex() const
{
    return parts.isEmpty() ? 0 : parts.first().entry.uiIndex;
}

bool SpectralComparison::showsNames() const
{
    for (const Part &part : parts) {
        if (const MeterKind *kind = MeterKind::find(part.entry.uiIndex); kind && kind->spectralName)
            return true;
    }
    return false;
}

qint64 SpectralComparison::recordCount() const
{
    qint64 count = 0;
    for (const MeterSheet::ComparedDownload &download : compared)
        count += download.records;
    return count;
}

void SpectralComparison::fill(SpectralTableModel &model) const
{
    model.setUpComparison(showsNames());
    for (const Part &part : parts) {
        const DownloadOrigin origin = DownloadArchiver::originOf(part.entry);
        const int start = model.recordCount();
        model.appendCompared(part.download, part.entry.id, origin.state.uiIndex, origin.state.mode,
                             origin.state.unitSlots, origin.unitCatalog);
        // The user's edits, from the last record up, so that a deletion moves none still to come;
        // the records keep the numbers the meter gave them.
        for (int k = model.recordCount() - start - 1; k >= 0; --k) {
            const int row = start + k + 1;
            if (part.edits.isDeleted(k)) {
                model.removeRecord(start + k);
                continue;
            }
            if (model.nameColumn() >= 0 && part.edits.hasName(k))
                model.setData(model.index(row, model.nameColumn()), part.edits.name(k, QString()));
            if (!part.edits.isTicked(k))
                model.setCurveVisible(row, false);
        }
    }
}
