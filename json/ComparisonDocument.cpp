// SPDX-License-Identifier: GPL-3.0-or-later
#include "ComparisonDocument.h"

#include "DownloadDocument.h"
#include "JsonWriter.h"
#include "MeterKind.h"
#include "ProgramVersion.h"
#include "SpectralTableModel.h"

#include <cmath>

namespace ComparisonDocument {

namespace {

void writeDownload(JsonWriter &json, const MeterSheet::ComparedDownload &download)
{
    const MeterKind *kind = MeterKind::find(download.state.uiIndex);
    json.beginObject();
    json.key(QStringLiteral("archiveId"));
    json.value(download.id);
    json.key(QStringLiteral("meter"));
    json.beginObject();
    json.key(QStringLiteral("serial"));
    json.value(MeterFlow::serialText(download.keyInfo));
    json.key(QStringLiteral("modelCode"));
    json.value(qint64(qint32(download.keyInfo.modelCode)));
    json.key(QStringLiteral("firmware"));
    json.value(MeterFlow::firmwareText(download.keyInfo));
    json.key(QStringLiteral("kind"));
    json.value(download.state.uiIndex);
    json.key(QStringLiteral("mode"));
    if (kind && kind->hasMode)
        json.value(download.state.mode);
    else
        json.null();
    json.endObject();
    json.key(QStringLiteral("downloaded"));
    json.value(DownloadDocument::isoTime(download.downloaded));
    json.key(QStringLiteral("recordCount"));
    json.value(download.records);
    json.key(QStringLiteral("spectralUnit"));
    json.value(download.spectralUnit);
    if (!download.notes.isEmpty())
        DownloadDocument::writeNotes(json, download.notes);
    json.endObject();
}

} // namespace

bool write(JsonWriter &json, const QList<MeterSheet::ComparedDownload> &downloads, const SpectralTableModel &model,
           bool chinese)
{
    json.beginObject();
    json.key(QStringLiteral("program"));
    json.value(ProgramVersion::name() + QLatin1Char(' ') + ProgramVersion::version());
    json.key(QStringLiteral("table"));
    json.value(QStringLiteral("comparison"));
    json.key(QStringLiteral("language"));
    json.value(chinese ? QStringLiteral("zh") : QStringLiteral("en"));
    json.key(QStringLiteral("downloads"));
    json.beginArray();
    for (const MeterSheet::ComparedDownload &download : downloads)
        writeDownload(json, download);
    json.endArray();
    json.key(QStringLiteral("recordCount"));
    json.value(model.recordCount());
    json.key(QStringLiteral("records"));
    json.beginArray();
    const bool named = model.nameColumn() >= 0;
    for (int k = 0; k < model.recordCount(); ++k) {
        const SpectralRecord &record = model.records()[size_t(k)];
        json.beginObject();
        json.key(QStringLiteral("number"));
        json.value(record.numberText(k + 1));
        json.key(QStringLiteral("download"));
        json.value(record.download);
        json.key(QStringLiteral("record"));
        json.value(record.downloadRecord);
        if (named) {
            json.key(QStringLiteral("name"));
            json.value(model.recordNames().at(k));
        }
        json.key(QStringLiteral("unit"));
        json.value(record.unit);
        // Spectral values a meter wrote as no number have none to give.
        json.key(QStringLiteral("values"));
        json.beginObject();
        for (int i = 0; i < SpectralRecord::valueCount; ++i) {
            json.key(QStringLiteral("spectral_%1").arg(SpectralRecord::firstWavelength + SpectralRecord::wavelengthStep * i));
            if (std::isfinite(record.values[size_t(i)]))
                json.value(record.values[size_t(i)]);
            else
                json.null();
        }
        json.endObject();
        json.endObject();
    }
    json.endArray();
    json.endObject();
    return json.finish();
}

} // namespace ComparisonDocument
