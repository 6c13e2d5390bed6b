// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ArchiveEditsView.h"
#include "ArchiveEntry.h"
#include "ExportSheet.h"
#include "MeterFlow.h"
#include "MeterSheet.h"

#include <QList>
#include <QString>

class MeasurementArchive;
class SpectralTableModel;

// The spectral downloads of the archive that the user compares: read from the archive in the
// order they were named, each checked as a single export checks it, then put into one spectral
// table whose records carry their download ("#12-3") and their own meter's unit, with the meter
// sheet listing every download.
class SpectralComparison
{
public:
    // Whether a download can take part: a spectral or colour table of a kind with spectra.
    static bool comparable(const ArchiveEntry &entry);

    // Reads the downloads `ids` (an id named again is read once), each as it stands now (records
    // deleted left out, names typed, curves ticked as the user left them) or, when `original`, as
    // the meter gave it; false, with the message in the chosen language, when one is missing,
    // holds no spectra or is damaged, or the archive cannot be read: then nothing is kept.
    bool load(MeasurementArchive &archive, const QList<qint64> &ids, bool chinese, QString &message,
              bool original = false);

    // The kind whose table the comparison fills: the first download's.
    int uiIndex() const;
    // Whether any compared kind gives its records names.
    bool showsNames() const;
    qint64 recordCount() const;
    const QList<MeterSheet::ComparedDownload> &downloads() const { return compared; }

    // Sets the model up as a comparison and appends every download's records.
    void fill(SpectralTableModel &model) const;
    ExportSheet meterSheet(bool chinese) const { return MeterSheet::makeComparison(compared, chinese); }

private:
    struct Part
    {
        ArchiveEntry entry;
        MeterFlow::Download download;
        ArchiveEditsView edits;
    };
    QList<Part> parts;
    QList<MeterSheet::ComparedDownload> compared;
};
