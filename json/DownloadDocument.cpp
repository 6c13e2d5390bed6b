// SPDX-License-Identifier: GPL-3.0-or-later
#include "DownloadDocument.h"

#include "ColourFigures.h"
#include "ColourTableModel.h"
#include "ColumnModel.h"
#include "ExportTable.h"
#include "JsonWriter.h"
#include "MelanopicFigures.h"
#include "MeterKind.h"
#include "ProgramVersion.h"
#include "RecordsTableModel.h"
#include "SpectralTableModel.h"
#include "TableFile.h"

#include <cmath>

namespace {

// The key of the spectral value at a wavelength: "spectral_400" .. "spectral_700".
QString spectralKey(int index)
{
    return QStringLiteral("spectral_%1").arg(MeterFacts::FirstWavelength + MeterFacts::WavelengthStep * index);
}

// The markers of one record, written after its values where it has any.
struct Markers
{
    QList<std::pair<QString, QString>> entries;

    void write(JsonWriter &json) const
    {
        if (entries.isEmpty())
            return;
        json.key(QStringLiteral("markers"));
        json.beginObject();
        for (const auto &[key, name] : entries) {
            json.key(key);
            json.value(name);
        }
        json.endObject();
    }
};

} // namespace

DownloadDocument::DownloadDocument(DownloadTables &tables, bool chinese, qint64 archiveId)
    : tables(tables),
      chinese(chinese),
      archiveId(archiveId)
{}

QString DownloadDocument::markerName(ValueMarker marker)
{
    switch (marker) {
    case ValueMarker::NoFlicker:
        return QStringLiteral("no_flicker");
    case ValueMarker::Invalid:
        return QStringLiteral("invalid");
    case ValueMarker::Probe:
    case ValueMarker::None:
        break;
    }
    return QString();
}

QString DownloadDocument::isoTime(const QDateTime &time)
{
    const QDateTime local = time.toLocalTime();
    const int offset = local.offsetFromUtc();
    const int minutes = qAbs(offset) / 60;
    return local.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))
           + QStringLiteral("%1%2:%3")
                 .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                 .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                 .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QList<DownloadDocument::Column> DownloadDocument::columns() const
{
    const DownloadOrigin &origin = tables.downloadOrigin();
    const MeterState &state = origin.state;
    QList<Column> list;
    if (const RecordsTableModel *records = tables.recordsModel()) {
        const MeterKind *kind = MeterKind::find(state.uiIndex);
        if (!kind)
            return list;
        const QList<MeterColumn> &meterColumns = kind->columns(state.mode);
        const QList<ColumnUnit> units = ColumnModel::exportUnits(state.uiIndex, state.mode, state.unitSlots);
        const QList<int> &decimals = records->decimals()[size_t(state.uiIndex - 1)];
        for (int i = 0; i < meterColumns.size() && i < units.size() && i < decimals.size(); ++i) {
            // The probe column holds a probe, not a quantity: each record names it on its own.
            if (meterColumns.at(i).word == MeterColumn::ProbeWord)
                continue;
            list.append({QString::fromLatin1(meterColumns.at(i).key), units.at(i).text, decimals.at(i),
                         TextCatalogue::text(meterColumns.at(i).title, chinese)});
        }
    } else if (tables.coloursModel()) {
        for (int f = 0; f < ColourFigures::Count; ++f) {
            const auto figure = ColourFigures::Figure(f);
            list.append({ColourFigures::key(figure), ColourFigures::unit(figure), ColourFigures::decimals(figure),
                         ColourFigures::title(figure, chinese)});
        }
        // Every melanopic figure the export writes, also those the window leaves out.
        const bool luminance = tables.spectraModel()->measuresLuminance();
        for (int f = 0; f < MelanopicFigures::Count; ++f) {
            const auto figure = MelanopicFigures::Figure(f);
            list.append({MelanopicFigures::key(figure, luminance), MelanopicFigures::unit(figure, luminance),
                         MelanopicFigures::decimals(figure), MelanopicFigures::title(figure, chinese, luminance)});
        }
    } else if (const SpectralTableModel *spectra = tables.spectraModel()) {
        QList<int> wavelengthSlots;
        for (int i = 0; i < MeterFacts::SpectralValueCount; ++i)
            wavelengthSlots << MeterFacts::FirstWavelengthSlot + i;
        if (state.unitSlots.size() < MeterFacts::UnitSlotCount)
            return list;
        const QList<ColumnUnit> units = ColumnModel::unitsOfSlots(wavelengthSlots, state.unitSlots, origin.unitCatalog);
        for (int i = 0; i < MeterFacts::SpectralValueCount && i < spectra->decimals().size(); ++i)
            list.append({spectralKey(i), units.at(i).text, spectra->decimals().at(i),
                         QStringLiteral("%1nm").arg(MeterFacts::FirstWavelength + MeterFacts::WavelengthStep * i)});
    }
    return list;
}

void DownloadDocument::writeNotes(JsonWriter &json, const DownloadNotes &notes)
{
    json.key(QStringLiteral("notes"));
    json.beginObject();
    json.key(QStringLiteral("title"));
    json.value(notes.title);
    json.key(QStringLiteral("location"));
    json.value(notes.location);
    json.key(QStringLiteral("operator"));
    json.value(notes.operatorName);
    json.key(QStringLiteral("note"));
    json.value(notes.text);
    json.endObject();
}

void DownloadDocument::writeMeter(JsonWriter &json) const
{
    const DownloadOrigin &origin = tables.downloadOrigin();
    const MeterKind *kind = MeterKind::find(origin.state.uiIndex);
    json.key(QStringLiteral("meter"));
    json.beginObject();
    json.key(QStringLiteral("serial"));
    json.value(MeterFlow::serialText(origin.keyInfo));
    json.key(QStringLiteral("modelCode"));
    json.value(qint64(qint32(origin.keyInfo.modelCode)));
    json.key(QStringLiteral("firmware"));
    json.value(MeterFlow::firmwareText(origin.keyInfo));
    json.key(QStringLiteral("kind"));
    json.value(origin.state.uiIndex);
    json.key(QStringLiteral("mode"));
    if (kind && kind->hasMode)
        json.value(origin.state.mode);
    else
        json.null();
    json.endObject();
}

bool DownloadDocument::write(JsonWriter &json, qint64 count, const DownloadTables::BatchOf &batchOf, QString &reason)
{
    const DownloadOrigin &origin = tables.downloadOrigin();
    json.beginObject();
    json.key(QStringLiteral("program"));
    json.value(ProgramVersion::name() + QLatin1Char(' ') + ProgramVersion::version());
    writeMeter(json);
    json.key(QStringLiteral("downloaded"));
    json.value(isoTime(origin.downloaded));
    if (archiveId > 0) {
        json.key(QStringLiteral("archiveId"));
        json.value(archiveId);
    }
    if (!tables.downloadNotes().isEmpty())
        writeNotes(json, tables.downloadNotes());
    json.key(QStringLiteral("table"));
    json.value(tables.recordsModel()   ? QStringLiteral("records")
               : tables.coloursModel() ? QStringLiteral("colour")
                                       : QStringLiteral("spectra"));
    json.key(QStringLiteral("language"));
    json.value(chinese ? QStringLiteral("zh") : QStringLiteral("en"));
    json.key(QStringLiteral("recordCount"));
    json.value(count);

    json.key(QStringLiteral("columns"));
    json.beginArray();
    for (const Column &column : columns()) {
        json.beginObject();
        json.key(QStringLiteral("key"));
        json.value(column.key);
        json.key(QStringLiteral("unit"));
        json.value(column.unit);
        json.key(QStringLiteral("decimals"));
        json.value(column.decimals);
        json.key(QStringLiteral("title"));
        json.value(column.title);
        json.endObject();
    }
    json.endArray();

    json.key(QStringLiteral("records"));
    json.beginArray();
    for (qint64 first = 0; first < count && !json.hasFailed(); first += TableFile::BatchRows) {
        if (!tables.load(first, int(qMin<qint64>(TableFile::BatchRows, count - first)), batchOf, reason))
            return false;
        if (tables.recordsModel())
            writeRecords(json, first);
        else if (tables.coloursModel())
            writeColours(json, first);
        else
            writeSpectra(json, first);
    }
    json.endArray();
    json.endObject();
    if (!json.finish()) {
        reason = json.errorString();
        return false;
    }
    return true;
}

void DownloadDocument::writeRecords(JsonWriter &json, qint64 first) const
{
    const RecordsTableModel &model = *tables.recordsModel();
    const MeterState &state = tables.downloadOrigin().state;
    const MeterKind *kind = MeterKind::find(state.uiIndex);
    if (!kind)
        return;
    const QList<MeterColumn> &meterColumns = kind->columns(state.mode);
    for (int row = 0; row < model.rowCount(); ++row) {
        const DecodedRecord &record = model.record(row);
        json.beginObject();
        json.key(QStringLiteral("number"));
        json.value(first + row + 1);
        if (kind->nameColumn) {
            json.key(QStringLiteral("name"));
            json.value(record.name);
        }
        Markers markers;
        bool valuesOpen = false;
        for (size_t k = 0; k < record.fields.size() && qsizetype(k) < meterColumns.size(); ++k) {
            const RecordField &field = record.fields[k];
            const QString key = QString::fromLatin1(meterColumns.at(qsizetype(k)).key);
            if (field.marker == ValueMarker::Probe) {
                json.key(QStringLiteral("probe"));
                json.value(record.probeNumber);
                json.key(QStringLiteral("probeName"));
                if (record.probeName.isEmpty())
                    json.null();
                else
                    json.value(record.probeName);
                continue;
            }
            if (!valuesOpen) {
                json.key(QStringLiteral("values"));
                json.beginObject();
                valuesOpen = true;
            }
            json.key(key);
            if (field.marker != ValueMarker::None) {
                json.null();
                markers.entries.append({key, markerName(field.marker)});
            } else if (!std::isfinite(field.value)) {
                json.null();
                markers.entries.append({key, QStringLiteral("not_finite")});
            } else {
                json.value(field.value);
            }
        }
        if (!valuesOpen) {
            json.key(QStringLiteral("values"));
            json.beginObject();
        }
        json.endObject();
        markers.write(json);
        json.endObject();
    }
}

void DownloadDocument::writeSpectra(JsonWriter &json, qint64 first) const
{
    const SpectralTableModel &model = *tables.spectraModel();
    const bool named = model.nameColumn() >= 0;
    for (int k = 0; k < model.recordCount(); ++k) {
        json.beginObject();
        json.key(QStringLiteral("number"));
        json.value(first + k + 1);
        if (named) {
            json.key(QStringLiteral("name"));
            json.value(model.recordNames().at(k));
        }
        Markers markers;
        json.key(QStringLiteral("values"));
        json.beginObject();
        const SpectralRecord &record = model.records().at(size_t(k));
        for (int i = 0; i < SpectralRecord::valueCount; ++i) {
            const QString key = spectralKey(i);
            json.key(key);
            json.value(record.values[size_t(i)]);
            if (!std::isfinite(record.values[size_t(i)]))
                markers.entries.append({key, QStringLiteral("not_finite")});
        }
        json.endObject();
        markers.write(json);
        json.endObject();
    }
}

void DownloadDocument::writeColours(JsonWriter &json, qint64 first) const
{
    const SpectralTableModel &spectra = *tables.spectraModel();
    const ColourTableModel &model = *tables.coloursModel();
    const bool named = spectra.nameColumn() >= 0;
    const bool luminance = spectra.measuresLuminance();
    for (int k = 0; k < model.rowCount(); ++k) {
        const ColourMetrics &metrics = model.metrics().at(size_t(k));
        const RecordOpic &opic = model.recordOpics().at(size_t(k));
        json.beginObject();
        json.key(QStringLiteral("number"));
        json.value(first + k + 1);
        if (named) {
            json.key(QStringLiteral("name"));
            json.value(spectra.recordNames().at(k));
        }
        Markers markers;
        json.key(QStringLiteral("values"));
        json.beginObject();
        for (int f = 0; f < ColourFigures::Count; ++f) {
            const auto figure = ColourFigures::Figure(f);
            json.key(ColourFigures::key(figure));
            // A figure the spectrum does not give reads "----" in the table.
            if (ColourFigures::has(metrics, figure)) {
                json.value(ColourFigures::value(metrics, figure));
            } else {
                json.null();
                markers.entries.append({ColourFigures::key(figure), markerName(ValueMarker::Invalid)});
            }
        }
        for (int f = 0; f < MelanopicFigures::Count; ++f) {
            const auto figure = MelanopicFigures::Figure(f);
            const QString key = MelanopicFigures::key(figure, luminance);
            json.key(key);
            if (MelanopicFigures::has(opic, figure)) {
                json.value(MelanopicFigures::value(opic, figure));
            } else {
                json.null();
                markers.entries.append({key, markerName(ValueMarker::Invalid)});
            }
        }
        json.endObject();
        markers.write(json);
        json.endObject();
    }
}
