// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's comparison of archived spectral downloads: export ID1,ID2,...
#include "CliRunner.h"

#include "ColourTableModel.h"
#include "ComparisonDocument.h"
#include "ExportTable.h"
#include "JsonWriter.h"
#include "PdfReport.h"
#include "ReportContent.h"
#include "ReportTexts.h"
#include "SpectralComparison.h"
#include "SpectralTableModel.h"
#include "UserLanguage.h"

int CliRunner::runComparison()
{
    QString reason;
    const std::unique_ptr<MeasurementArchive> archive = openArchive(reason, MeasurementArchive::Access::ReadOnly);
    if (!archive)
        return fail(text(Text::CliArchiveUnavailable).arg(reason));
    // Every download is checked before the output is touched: a refused comparison writes no file.
    SpectralComparison comparison;
    if (!comparison.load(*archive, options.exportIds, options.chinese, reason, options.original))
        return fail(reason);
    SpectralTableModel spectra(comparison.uiIndex());
    spectra.setChinese(options.chinese);
    comparison.fill(spectra);

    if (options.writesReport()) {
        if (options.toStandardOutput())
            return fail(
                text(Text::CliWriteFailed).arg(outputName(), ReportTexts::text(ReportText::NeedsFile, options.chinese)));
        const ColourTableModel colours(spectra);
        ReportContent content;
        content.details.chinese = options.chinese;
        content.details.paper =
            options.paper.value_or(ReportDetails::defaultPaper(UserLanguage::paperLocale(environment)));
        content.setMeterFacts(comparison.meterSheet(options.chinese));
        content.addSpectral(spectra, colours);
        if (!PdfReport::write(options.outputFile, content, {}, reason))
            return fail(text(Text::CliWriteFailed).arg(outputName(), reason));
        return Success;
    }

    const qint64 count = spectra.recordCount();
    OutputFile output(options.outputFile, options.outputFormat(), options.writesJson(), options.chinese, out);
    if (!output.prepare(reason) || !output.accepts(count, reason))
        return fail(text(Text::CliWriteFailed).arg(outputName(), reason));
    if (output.isJson()) {
        const OutputFile::Document writer = [&](QIODevice &device, QString &error) {
            JsonWriter json(device);
            if (ComparisonDocument::write(json, comparison.downloads(), spectra, options.chinese))
                return true;
            error = device.errorString();
            return false;
        };
        if (!output.writeDocument(writer, reason))
            return fail(text(Text::CliWriteFailed).arg(outputName(), reason));
        return Success;
    }
    // The table in the batches the format asks for, each a table of its records alone.
    const TableFile::TableOf tableOf = [&](qint64 first, int records, ExportTable &table, QString &) {
        SpectralTableModel batch(comparison.uiIndex());
        batch.setChinese(options.chinese);
        batch.setUpComparison(spectra.nameColumn() >= 0);
        for (qint64 k = first; k < first + records && k < count; ++k)
            batch.appendRecord(spectra.records()[size_t(k)], spectra.recordNames().at(int(k)));
        table = batch.exportTable(int(first) + 1);
        return true;
    };
    QList<ExportSheet> sheets;
    if (options.outputFormat() != TableFile::Csv)
        sheets.append(comparison.meterSheet(options.chinese));
    return writeOutput(output, count, tableOf, sheets);
}
