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

bool SpectralComparison::load(MeasurementArchive &archive, const QList<qint64> &ids, bool chinese, QString &message)
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

        const DownloadOrigin origin = DownloadArchiver::originOf(part.entry);
        const QList<ColumnUnit> units =
            ColumnModel::unitsOfSlots({MeterFacts::FirstWavelengthSlot}, origin.state.unitSlots, origin.unitCatalog);
        compared.append({id, origin.keyInfo, origin.state, part.entry.recordCount, origin.downloaded,
                         units.isEmpty() ? QString() : units.first().text});
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
    for (const Part &part : parts)
        count += part.entry.recordCount;
    return count;
}

void SpectralComparison::fill(SpectralTableModel &model) const
{
    model.setUpComparison(showsNames());
    for (const Part &part : parts) {
        const DownloadOrigin origin = DownloadArchiver::originOf(part.entry);
        model.appendCompared(part.download, part.entry.id, origin.state.uiIndex, origin.state.mode,
                             origin.state.unitSlots, origin.unitCatalog);
    }
}
