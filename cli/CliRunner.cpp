#include "CliRunner.h"

#include "CatalogLoader.h"
#include "CliTexts.h"
#include "ColumnModel.h"
#include "DownloadFiles.h"
#include "ExportTable.h"
#include "HidapiTransport.h"
#include "MeterImage.h"
#include "MeterKind.h"
#include "MeterSheet.h"
#include "OutputFile.h"
#include "RecordsTableModel.h"
#include "SpectralTableModel.h"
#include "TerminalProgress.h"
#include "VirtualMeterTransport.h"

#include <QFileInfo>

namespace {

// Whether two paths name the same existing file, however each is spelled (relative, absolute,
// through symbolic links). A file that does not exist yet is the same as no other.
bool sameExistingFile(const QString &first, const QString &second)
{
    const QString canonical = QFileInfo(first).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(second).canonicalFilePath();
}

} // namespace

CliRunner::CliRunner(FILE *out, FILE *err) : out(out), err(err) {}

CliRunner::~CliRunner() = default;

void CliRunner::print(FILE *stream, const QString &message)
{
    const QByteArray bytes = message.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

int CliRunner::fail(const QString &message)
{
    if (progress)
        progress->finish();
    print(err, message + QLatin1Char('\n'));
    return Failure;
}

int CliRunner::run(const QStringList &arguments)
{
    const UsageError usage = CliArguments::parse(arguments, options);
    if (usage.kind != UsageError::None) {
        print(err, CliTexts::usage(usage, CliArguments::languageOf(arguments)));
        return UsageFailure;
    }
    switch (options.command) {
    case CliOptions::Command::Help:
        print(out, CliTexts::help(CliArguments::languageOf(arguments)));
        return Success;
    case CliOptions::Command::Version:
        print(out, CliTexts::version());
        return Success;
    default:
        break;
    }

    if (!options.catalogDirectory.isEmpty() && !QFileInfo(options.catalogDirectory).isDir()) {
        print(err, QStringLiteral("lumivane-cli: ") + text(Text::CliCatalogDirMissing).arg(options.catalogDirectory)
                       + QLatin1Char('\n'));
        return UsageFailure;
    }
    // The output file replaces its target, so naming the image would destroy the meter it is read
    // from; refused before anything is read.
    if (!options.virtualMeterImage.isEmpty() && sameExistingFile(options.outputFile, options.virtualMeterImage))
        return fail(text(Text::CliWriteFailed).arg(options.outputFile, text(Text::CliOutputIsImage)));
    catalogDirectory =
        options.catalogDirectory.isEmpty() ? CatalogLoader::defaultDirectory() : options.catalogDirectory;
    // The records page reads these two when it is built; the probe catalog waits for a meter of a
    // kind that has probes.
    CatalogLoader::loadMeterCatalog(catalogDirectory, meterCatalog);
    CatalogLoader::loadUnitCatalog(catalogDirectory, unitCatalog);

    progress = std::make_unique<TerminalProgress>(err, !options.quiet && TerminalProgress::isTerminal(err),
                                                  text(Text::ReadingProgress));

    switch (options.command) {
    case CliOptions::Command::Identify:
        return runIdentify();
    case CliOptions::Command::Records:
        return runRecords();
    case CliOptions::Command::Spectra:
        return runSpectra();
    default:
        return UsageFailure;
    }
}

bool CliRunner::openMeter(QString &message)
{
    std::unique_ptr<HidReportTransport> transport;
    if (!options.virtualMeterImage.isEmpty()) {
        MeterImage image;
        QString error;
        if (!MeterImage::fromFile(options.virtualMeterImage, image, error)) {
            // The reason may start with the file's name already.
            const QString named = options.virtualMeterImage + QStringLiteral(": ");
            if (error.startsWith(named))
                error.remove(0, named.size());
            message = text(Text::CliImageUnreadable).arg(options.virtualMeterImage, error);
            return false;
        }
        transport = std::make_unique<VirtualMeterTransport>(image);
    } else {
        transport = std::make_unique<HidapiTransport>();
    }
    if (session.openUsb(std::move(transport)))
        return true;
    if (session.lastOpenHeldElsewhere())
        message = text(Text::MeterHeldElsewhere);
    else if (session.lastOpenAccessDenied())
        message = text(Text::CliAccessDenied).arg(session.lastOpenDeniedPath());
    else
        message = text(Text::CliNoMeter);
    return false;
}

bool CliRunner::identify(QString &message)
{
    if (!openMeter(message))
        return false;
    // Unlike the window, which keeps its current kind, the command line has no kind to keep: a meter
    // that an unusable meter catalog cannot name is refused.
    const MeterFlow::Result result =
        MeterFlow(session.protocol(), state).identify(meterCatalog, keyInfo, MeterFlow::UnusableCatalogMismatches);
    if (const std::optional<Text> failure = MeterFlow::message(result)) {
        message = text(*failure);
        return false;
    }
    // Only kinds without spectra (the probe meters) show probe names.
    const MeterKind *kind = MeterKind::find(state.uiIndex);
    if (kind && !kind->hasSpectra)
        CatalogLoader::loadProbeCatalog(catalogDirectory, probeNames);
    return true;
}

int CliRunner::runIdentify()
{
    QString message;
    if (!identify(message))
        return fail(message);
    quint32 count = 0;
    if (session.protocol().readRecordCount(count) < 0)
        return fail(text(Text::RecordCountFailed));
    session.close();

    const MeterKind *kind = MeterKind::find(state.uiIndex);
    const QString modeText = kind && kind->hasMode ? QString::number(state.mode) : QStringLiteral("-");
    print(out, QStringLiteral("serial: %1\nfirmware: %2\nmodel: %3\nkind: %4\nmode: %5\nrecords: %6\n")
                   .arg(MeterFlow::serialText(keyInfo), MeterFlow::firmwareText(keyInfo))
                   .arg(qint32(keyInfo.modelCode))
                   .arg(state.uiIndex)
                   .arg(modeText)
                   .arg(count));
    return Success;
}

bool CliRunner::startDownload(OutputFile &output)
{
    QString message;
    if (!output.prepare(message)) {
        fail(text(Text::CliWriteFailed).arg(options.outputFile, message));
        return false;
    }
    if (!identify(message)) {
        fail(message);
        return false;
    }
    return true;
}

bool CliRunner::download(MeterFlow &flow, MeterFlow::Purpose purpose, const OutputFile &output, DownloadFiles &memory,
                         qint64 &count, const std::function<void()> &slotsRead)
{
    QString reason;
    if (!memory.open(reason)) {
        session.close();
        fail(text(Text::CliWriteFailed).arg(options.outputFile, reason));
        return false;
    }
    const MeterFlow::CountCheck fits = [&](qint64 records) { return output.accepts(records, reason); };
    count = 0;
    const MeterFlow::Result result =
        flow.download(purpose, memory.records(), memory.names(), count, progress.get(), slotsRead, fits);
    progress->finish();
    session.close();
    downloaded = QDateTime::currentDateTime();
    if (result == MeterFlow::CountRefused || result == MeterFlow::SinkFailed) {
        if (result == MeterFlow::SinkFailed)
            reason = memory.writeError();
        fail(text(Text::CliWriteFailed).arg(options.outputFile, reason));
        return false;
    }
    if (const std::optional<Text> failure = MeterFlow::message(result)) {
        fail(text(*failure));
        return false;
    }
    return true;
}

int CliRunner::writeOutput(OutputFile &output, qint64 count, const TableFile::TableOf &tableOf,
                           const ExportSheet &meterSheet)
{
    QString reason;
    if (!output.write(count, tableOf, meterSheet, reason))
        return fail(text(Text::CliWriteFailed).arg(options.outputFile, reason));
    return Success;
}

int CliRunner::runRecords()
{
    OutputFile output(options.outputFile, options.outputFormat(), options.chinese);
    if (!startDownload(output))
        return Failure;
    if (!MeterKind::find(state.uiIndex))
        return fail(text(Text::CliUnsupportedKind).arg(state.uiIndex));

    // As on the records page: identification ends with the column set-up, and the download sets
    // the columns up again once it has read the unit slots and the mode.
    RecordsTableModel model;
    model.setChinese(options.chinese);
    const auto setUpColumns = [&] { model.setUpColumns(state.uiIndex, state.mode, state.unitSlots, unitCatalog); };
    setUpColumns();

    MeterFlow flow(session.protocol(), state);
    DownloadFiles memory;
    qint64 count = 0;
    if (!download(flow, MeterFlow::Records, output, memory, count, setUpColumns))
        return Failure;
    // The model holds one batch at a time. A meter without records gives the titles alone.
    const QStringList headers = ColumnModel::exportHeaders(state.uiIndex, state.mode, state.unitSlots, options.chinese);
    const auto tableOf = [&](qint64 first, int records, ExportTable &table, QString &reason) {
        MeterFlow::Download batch;
        if (!memory.read(first, records, batch, reason))
            return false;
        model.clear();
        model.appendDownload(state.uiIndex, state.mode, batch, probeNames);
        table = model.exportTable(headers);
        return true;
    };
    return writeOutput(output, count, tableOf, MeterSheet::make(keyInfo, state, count, downloaded, options.chinese));
}

int CliRunner::runSpectra()
{
    OutputFile output(options.outputFile, options.outputFormat(), options.chinese);
    if (!startDownload(output))
        return Failure;
    const MeterKind *kind = MeterKind::find(state.uiIndex);
    if (!kind || !kind->hasSpectra)
        return fail(text(Text::CliNoSpectra).arg(state.uiIndex));

    // As the spectral page does when it opens: it reads the unit slots and the mode into a state
    // of its own and sets its table up; the download then reads them again.
    MeterState pageState;
    pageState.uiIndex = state.uiIndex;
    MeterFlow flow(session.protocol(), pageState);
    if (const std::optional<Text> failure = MeterFlow::message(flow.readSlotsAndMode()))
        return fail(text(*failure));
    SpectralTableModel model(pageState.uiIndex);
    model.setChinese(options.chinese);
    const auto setUp = [&] { model.setUp(pageState.unitSlots, unitCatalog); };
    setUp();

    DownloadFiles memory;
    qint64 count = 0;
    if (!download(flow, MeterFlow::Spectra, output, memory, count, setUp))
        return Failure;
    // The model holds one batch at a time, numbered on from the batches before.
    const auto tableOf = [&](qint64 first, int records, ExportTable &table, QString &reason) {
        MeterFlow::Download batch;
        if (!memory.read(first, records, batch, reason))
            return false;
        model.clearRecords();
        model.appendDownload(batch, pageState.mode);
        table = model.exportTable(int(first) + 1);
        return true;
    };
    return writeOutput(output, count, tableOf,
                       MeterSheet::make(keyInfo, pageState, count, downloaded, options.chinese));
}
