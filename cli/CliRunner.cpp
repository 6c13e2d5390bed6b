// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliRunner.h"

#include "ArchiveLocation.h"
#include "CatalogLoader.h"
#include "CliTexts.h"
#include "DownloadArchiver.h"
#include "DownloadDocument.h"
#include "DownloadFiles.h"
#include "EditedDownload.h"
#include "ExportTable.h"
#include "FileReplacement.h"
#include "ForwardingTransport.h"
#include "HidSelection.h"
#include "HidapiTransport.h"
#include "JsonWriter.h"
#include "MeasurementArchive.h"
#include "MeterAccessStatus.h"
#include "MeterFacts.h"
#include "MeterImage.h"
#include "MeterKind.h"
#include "MeterLock.h"
#include "OutputFile.h"
#include "PdfReport.h"
#include "ReportContent.h"
#include "ReportTexts.h"
#include "TerminalProgress.h"
#include "UserLanguage.h"
#include "VirtualMeterTransport.h"

#include <QBuffer>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace {

// A transport that lists only the interfaces of the meter with one serial number (as list prints
// it), so that the link's selection rules choose among that meter's interfaces alone.
class SerialTransport final : public ForwardingTransport
{
public:
    SerialTransport(std::unique_ptr<HidReportTransport> wrapped, const QString &wanted)
        : ForwardingTransport(std::move(wrapped)),
          serial(wanted)
    {}

    QList<HidInterfaceInfo> enumerate(quint16 vendorId, quint16 productId) override
    {
        return HidSelection::withSerial(wrapped().enumerate(vendorId, productId), serial);
    }

private:
    const QString serial;
};

// The status of a listed meter in a JSON listing: the same words in every language.
QString accessKey(MeterAccessStatus::Cause cause)
{
    switch (cause) {
    case MeterAccessStatus::None:
        return QStringLiteral("ok");
    case MeterAccessStatus::PermissionDenied:
        return QStringLiteral("permission_denied");
    case MeterAccessStatus::HeldElsewhere:
        return QStringLiteral("busy");
    case MeterAccessStatus::NoSuchDevice:
        return QStringLiteral("gone");
    }
    return QStringLiteral("gone");
}

// The table column of history: the name of the command that wrote the table.
QString tableName(ArchivedTable table)
{
    switch (table) {
    case ArchivedTable::Records:
        return QStringLiteral("records");
    case ArchivedTable::Spectra:
        return QStringLiteral("spectra");
    case ArchivedTable::Colours:
        return QStringLiteral("colour");
    }
    return QString::number(int(table));
}

// A note as one cell of a line of history: its line breaks and tabs as blanks.
QString oneLine(QString note)
{
    for (QChar &c : note) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    }
    return note;
}

} // namespace

CliRunner::CliRunner(FILE *out, FILE *err, const QProcessEnvironment &environment)
    : out(out),
      err(err),
      environment(environment)
{}

CliRunner::~CliRunner() = default;

bool CliRunner::print(FILE *stream, const QByteArray &bytes)
{
    errno = 0;
    const bool written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) == size_t(bytes.size());
    return std::fflush(stream) == 0 && written && !std::ferror(stream);
}

bool CliRunner::print(FILE *stream, const QString &message)
{
    return print(stream, message.toUtf8());
}

int CliRunner::printResult(const QString &result)
{
    return printResult(result.toUtf8());
}

int CliRunner::printResult(const QByteArray &result)
{
    if (print(out, result))
        return Success;
    // A full disk or a file that cannot grow: the result did not arrive, and a
    // script must not take it that it did.
    const int cause = errno;
    std::clearerr(out);
    return fail(QStringLiteral("lumivane-cli: ")
                + text(Text::CliStandardOutputFailed)
                      .arg(cause ? QString::fromLocal8Bit(std::strerror(cause)) : QStringLiteral("write error")));
}

int CliRunner::fail(const QString &message)
{
    if (progress)
        progress->finish();
    print(err, message + QLatin1Char('\n'));
    return Failure;
}

int CliRunner::printJson(const std::function<void(JsonWriter &json)> &document)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    JsonWriter json(buffer);
    document(json);
    json.finish();
    return printResult(bytes);
}

QString CliRunner::outputName() const
{
    return options.toStandardOutput() ? text(Text::CliStandardOutput) : options.outputFile;
}

int CliRunner::run(const QStringList &arguments)
{
    // Without --lang the user's locale chooses, as for any other command-line program.
    const bool userChinese = UserLanguage::isChinese(environment);
    options.chinese = userChinese;
    const UsageError usage = CliArguments::parse(arguments, options);
    if (usage.kind != UsageError::None) {
        print(err, CliTexts::usage(usage, CliArguments::languageOf(arguments, userChinese)));
        return UsageFailure;
    }
    // Parsing may stop at --help and --version before --lang; a failure to print them is told in
    // the language asked for all the same.
    switch (options.command) {
    case CliOptions::Command::Help:
        options.chinese = CliArguments::languageOf(arguments, userChinese);
        return printResult(CliTexts::help(options.chinese));
    case CliOptions::Command::Version:
        options.chinese = CliArguments::languageOf(arguments, userChinese);
        return printResult(CliTexts::version());
    default:
        break;
    }

    if (!options.catalogDirectory.isEmpty() && !QFileInfo(options.catalogDirectory).isDir()) {
        print(err, QStringLiteral("lumivane-cli: ") + text(Text::CliCatalogDirMissing).arg(options.catalogDirectory)
                       + QLatin1Char('\n'));
        return UsageFailure;
    }
    // An archive that cannot be used is a mistake in the command line, told before the meter is
    // asked anything. The archive is checked even with --no-archive: it must not be written over.
    QString unusable;
    const std::optional<ArchiveLocation> archive = ArchiveLocation::parseOrDefault(options.archiveLocation, unusable);
    // A file named with --archive must be one SQLite can use (the default one is checked when it
    // is opened, and costs only a message when it cannot be).
    if (!archive
        || (!options.archiveLocation.isEmpty() && usesArchive() && archive->engine == ArchiveLocation::Sqlite
            && !archive->fileUsable(unusable))) {
        print(err, CliTexts::usage({UsageError::BadArchive, unusable}, CliArguments::languageOf(arguments, userChinese)));
        return UsageFailure;
    }
    if (archive->holdsPassword())
        print(err, text(Text::CliPasswordInAddress) + QLatin1Char('\n'));
    // The output file replaces its target, so naming the image or the archive would destroy the
    // meter it is read from or the downloads kept; refused before anything is read.
    const QString outputFile = options.toStandardOutput() ? QString() : options.outputFile;
    if (FileReplacement::wouldReplace(outputFile, options.virtualMeterImage))
        return fail(text(Text::CliWriteFailed).arg(outputName(), text(Text::CliOutputIsImage)));
    if (FileReplacement::wouldReplace(outputFile, archive->path))
        return fail(text(Text::CliWriteFailed).arg(outputName(), text(Text::OutputIsArchive)));
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
        return runSpectra(DownloadTables::PurposeTable);
    case CliOptions::Command::Colour:
        return runSpectra(DownloadTables::ColourTable);
    case CliOptions::Command::History:
        return runHistory();
    case CliOptions::Command::Export:
        return runExport();
    case CliOptions::Command::List:
        return runList();
    case CliOptions::Command::Report:
        return runReport();
    case CliOptions::Command::Annotate:
        return runAnnotate();
    default:
        return UsageFailure;
    }
}

std::unique_ptr<HidReportTransport> CliRunner::makeTransport(QString &message) const
{
    std::unique_ptr<HidReportTransport> transport;
    if (options.virtualMeterImage.isEmpty()) {
        transport = std::make_unique<HidapiTransport>();
    } else {
        MeterImage image;
        QString error;
        if (!MeterImage::fromFile(options.virtualMeterImage, image, error)) {
            // The reason may start with the file's name already.
            const QString named = options.virtualMeterImage + QStringLiteral(": ");
            if (error.startsWith(named))
                error.remove(0, named.size());
            message = text(Text::CliImageUnreadable).arg(options.virtualMeterImage, error);
            return nullptr;
        }
        transport = std::make_unique<VirtualMeterTransport>(image);
    }
    if (options.meterSerial.isEmpty())
        return transport;
    return std::make_unique<SerialTransport>(std::move(transport), options.meterSerial);
}

bool CliRunner::openMeter(QString &message)
{
    std::unique_ptr<HidReportTransport> transport = makeTransport(message);
    if (!transport)
        return false;
    // Listing sends nothing, so a --serial that names no attached meter is told before opening.
    if (!options.meterSerial.isEmpty() && transport->enumerate(MeterFacts::VendorId, MeterFacts::ProductId).isEmpty()) {
        message = text(Text::CliNoSuchMeterSerial).arg(options.meterSerial);
        return false;
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

int CliRunner::runList()
{
    QString message;
    const std::unique_ptr<HidReportTransport> transport = makeTransport(message);
    if (!transport)
        return fail(message);
    const QList<HidProbe> probes = HidSelection::probe(*transport, MeterFacts::VendorId, MeterFacts::ProductId);
    if (probes.isEmpty()) {
        // A script reading the listing still gets its (empty) array.
        if (options.json && printJson([](JsonWriter &json) {
                json.beginArray();
                json.endArray();
            }) != Success)
            return Failure;
        return fail(options.meterSerial.isEmpty() ? text(Text::CliNoMeter)
                                                  : text(Text::CliNoSuchMeterSerial).arg(options.meterSerial));
    }
    QString lines;
    bool anyOpens = false;
    struct Listed
    {
        QString node;
        QString serial;
        MeterAccessStatus access;
    };
    QList<Listed> listed;
    for (const HidProbe &probe : probes) {
        HidOpenResult result = probe.result;
        // A node that opens may still be held: the program that talks to the meter holds its lock
        // (MeterLock, named as the session names it). Taking it for a moment tells, and it is let
        // go at once.
        if (result == HidOpenResult::Opened && transport->isSharedDevice()) {
            MeterLock lock(MeterFacts::VendorId, MeterFacts::ProductId,
                           probe.info.serial.isEmpty() ? probe.info.path : probe.info.serial);
            if (lock.tryLock() == MeterLock::HeldElsewhere)
                result = HidOpenResult::Busy;
        }
        // The virtual meter has no device node; a meter without a serial string shows "-".
        const QString node = options.virtualMeterImage.isEmpty() ? probe.info.path : QStringLiteral("virtual");
        const MeterAccessStatus access{MeterAccessStatus::causeOf(result), node};
        const bool opens = access.cause == MeterAccessStatus::None;
        anyOpens = anyOpens || opens;
        const QString state = opens ? QStringLiteral("ok") : access.causeText(options.chinese);
        lines += QStringLiteral("%1\t%2\t%3\n").arg(node, HidSelection::listedSerial(probe.info), state);
        listed.append({node, probe.info.serial, access});
    }
    if (!options.json) {
        if (printResult(lines) != Success)
            return Failure;
        return anyOpens ? Success : Failure;
    }
    const int printed = printJson([&](JsonWriter &json) {
        json.beginArray();
        for (const Listed &meter : listed) {
            json.beginObject();
            json.key(QStringLiteral("node"));
            json.value(meter.node);
            // A meter without a serial string has none.
            json.key(QStringLiteral("serial"));
            if (meter.serial.isEmpty())
                json.null();
            else
                json.value(meter.serial);
            json.key(QStringLiteral("status"));
            json.value(accessKey(meter.access.cause));
            if (meter.access.cause != MeterAccessStatus::None) {
                json.key(QStringLiteral("reason"));
                json.value(meter.access.causeText(options.chinese));
            }
            json.endObject();
        }
        json.endArray();
    });
    if (printed != Success)
        return Failure;
    return anyOpens ? Success : Failure;
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
    if (options.json) {
        return printJson([&](JsonWriter &json) {
            json.beginObject();
            json.key(QStringLiteral("serial"));
            json.value(MeterFlow::serialText(keyInfo));
            json.key(QStringLiteral("modelCode"));
            json.value(qint64(qint32(keyInfo.modelCode)));
            json.key(QStringLiteral("firmware"));
            json.value(MeterFlow::firmwareText(keyInfo));
            json.key(QStringLiteral("kind"));
            json.value(state.uiIndex);
            json.key(QStringLiteral("mode"));
            if (kind && kind->hasMode)
                json.value(state.mode);
            else
                json.null();
            json.key(QStringLiteral("recordCount"));
            json.value(qint64(count));
            json.endObject();
        });
    }
    const QString modeText = kind && kind->hasMode ? QString::number(state.mode) : QStringLiteral("-");
    return printResult(QStringLiteral("serial: %1\nfirmware: %2\nmodel: %3\nkind: %4\nmode: %5\nrecords: %6\n")
                   .arg(MeterFlow::serialText(keyInfo), MeterFlow::firmwareText(keyInfo))
                   .arg(qint32(keyInfo.modelCode))
                   .arg(state.uiIndex)
                   .arg(modeText)
                   .arg(count));
}

bool CliRunner::startDownload(OutputFile &output)
{
    QString message;
    if (!output.prepare(message)) {
        fail(text(Text::CliWriteFailed).arg(outputName(), message));
        return false;
    }
    if (!identify(message)) {
        fail(message);
        return false;
    }
    return true;
}

bool CliRunner::download(MeterFlow &flow, MeterFlow::Purpose purpose, const OutputFile &output, DownloadFiles &memory,
                         qint64 &count)
{
    QString reason;
    if (!memory.open(reason)) {
        session.close();
        fail(text(Text::CliWriteFailed).arg(outputName(), reason));
        return false;
    }
    const MeterFlow::CountCheck fits = [&](qint64 records) { return output.accepts(records, reason); };
    count = 0;
    const MeterFlow::Result result =
        flow.download(purpose, memory.records(), memory.names(), count, progress.get(), {}, fits);
    progress->finish();
    session.close();
    downloaded = QDateTime::currentDateTime();
    if (result == MeterFlow::CountRefused || result == MeterFlow::SinkFailed) {
        if (result == MeterFlow::SinkFailed)
            reason = memory.writeError();
        fail(text(Text::CliWriteFailed).arg(outputName(), reason));
        return false;
    }
    if (const std::optional<Text> failure = MeterFlow::message(result)) {
        fail(text(*failure));
        return false;
    }
    return true;
}

int CliRunner::writeOutput(OutputFile &output, qint64 count, const TableFile::TableOf &tableOf,
                           const QList<ExportSheet> &extraSheets)
{
    QString reason;
    if (!output.write(count, tableOf, extraSheets, reason))
        return fail(text(Text::CliWriteFailed).arg(outputName(), reason));
    return Success;
}

int CliRunner::writeDocument(OutputFile &output, DownloadTables &tables, qint64 count,
                             const DownloadTables::BatchOf &batchOf, qint64 archiveId)
{
    DownloadDocument document(tables, options.chinese, archiveId);
    QString reason;
    const OutputFile::Document writer = [&](QIODevice &device, QString &error) {
        JsonWriter json(device);
        return document.write(json, count, batchOf, error);
    };
    if (!output.writeDocument(writer, reason))
        return fail(text(Text::CliWriteFailed).arg(outputName(), reason));
    return Success;
}

int CliRunner::runRecords()
{
    OutputFile output(options.outputFile, options.outputFormat(), options.writesJson(), options.chinese, out);
    if (!startDownload(output))
        return Failure;
    if (!MeterKind::find(state.uiIndex))
        return fail(text(Text::CliUnsupportedKind).arg(state.uiIndex));

    MeterFlow flow(session.protocol(), state);
    DownloadFiles memory;
    qint64 count = 0;
    if (!download(flow, MeterFlow::Records, output, memory, count))
        return Failure;
    return finishDownload(output, origin(MeterFlow::Records, state), count, memory);
}

int CliRunner::runSpectra(DownloadTables::Contents contents)
{
    OutputFile output(options.outputFile, options.outputFormat(), options.writesJson(), options.chinese, out);
    if (!startDownload(output))
        return Failure;
    const MeterKind *kind = MeterKind::find(state.uiIndex);
    if (!kind || !kind->hasSpectra)
        return fail(text(Text::CliNoSpectra).arg(state.uiIndex));

    // As the spectral page does when it opens: it reads the unit slots and the mode into a state
    // of its own; the download then reads them again.
    MeterState pageState;
    pageState.uiIndex = state.uiIndex;
    MeterFlow flow(session.protocol(), pageState);
    if (const std::optional<Text> failure = MeterFlow::message(flow.readSlotsAndMode()))
        return fail(text(*failure));

    DownloadFiles memory;
    qint64 count = 0;
    if (!download(flow, MeterFlow::Spectra, output, memory, count))
        return Failure;
    return finishDownload(output, origin(MeterFlow::Spectra, pageState), count, memory, contents);
}

DownloadOrigin CliRunner::origin(MeterFlow::Purpose purpose, const MeterState &downloadState) const
{
    return {keyInfo, downloadState, purpose, unitCatalog, probeNames, downloaded};
}

int CliRunner::finishDownload(OutputFile &output, const DownloadOrigin &origin, qint64 count, DownloadFiles &memory,
                              DownloadTables::Contents contents)
{
    const DownloadTables::BatchOf fromFiles = [&memory](qint64 first, int records, MeterFlow::Download &batch,
                                                        QString &reason) {
        return memory.read(first, records, batch, reason);
    };
    const qint64 archiveId = archiveDownload(origin, count, fromFiles, contents);
    DownloadTables tables(origin, options.chinese, contents);
    if (output.isJson())
        return writeDocument(output, tables, count, fromFiles, archiveId);
    const TableFile::TableOf tableOf = [&](qint64 first, int records, ExportTable &table, QString &reason) {
        return tables.table(first, records, fromFiles, table, reason);
    };
    // CSV has only the table: no pass over the records for sheets it cannot hold.
    QList<ExportSheet> sheets;
    QString reason;
    if (options.outputFormat() != TableFile::Csv && !tables.extraSheets(count, fromFiles, sheets, reason))
        return fail(text(Text::CliWriteFailed).arg(outputName(), reason));
    return writeOutput(output, count, tableOf, sheets);
}

qint64 CliRunner::archiveDownload(const DownloadOrigin &origin, qint64 count, const DownloadTables::BatchOf &batchOf,
                                  DownloadTables::Contents contents)
{
    // The download is archived before its rows go anywhere (a colour table's as the spectra it
    // is); a download the archive cannot keep is still written, and the user is told why it was
    // not kept.
    qint64 archiveId = 0;
    if (options.archive) {
        QString reason;
        const std::unique_ptr<MeasurementArchive> archive = openArchive(reason);
        if (archive)
            archiveId = DownloadArchiver::archive(*archive, origin, count, batchOf, reason, contents);
        if (archiveId == 0)
            print(err, text(Text::ArchiveNotStored).arg(reason) + QLatin1Char('\n'));
    }
    return archiveId;
}

int CliRunner::runReport()
{
    if (options.toStandardOutput())
        return fail(text(Text::CliWriteFailed).arg(outputName(), ReportTexts::text(ReportText::NeedsFile, options.chinese)));
    // The target is checked as a CSV one: a file written beside it and renamed over it, of any
    // number of records.
    OutputFile output(options.outputFile, TableFile::Csv, false, options.chinese, out);
    if (!startDownload(output))
        return Failure;
    const MeterKind *kind = MeterKind::find(state.uiIndex);
    if (!kind)
        return fail(text(Text::CliUnsupportedKind).arg(state.uiIndex));

    MeterFlow flow(session.protocol(), state);
    DownloadFiles recordFiles;
    qint64 recordCount = 0;
    if (!download(flow, MeterFlow::Records, output, recordFiles, recordCount))
        return Failure;
    const DownloadTables::BatchOf fromRecordFiles = [&recordFiles](qint64 first, int records,
                                                                   MeterFlow::Download &batch, QString &reason) {
        return recordFiles.read(first, records, batch, reason);
    };
    const DownloadOrigin recordsOrigin = origin(MeterFlow::Records, state);
    archiveDownload(recordsOrigin, recordCount, fromRecordFiles);
    // The records are read from their files a batch at a time as the pages are laid out.
    DownloadTables records(recordsOrigin, options.chinese);
    const RecordsOfReport recordsOfReport{&records, recordCount, fromRecordFiles};
    QString reason;
    if (!kind->hasSpectra)
        return writeReport(&recordsOfReport, nullptr, 0);

    // The spectra as the spectra command reads them: the meter opened again, the unit slots and
    // mode read into the spectral page's own state.
    QString message;
    if (!identify(message))
        return fail(message);
    MeterState pageState;
    pageState.uiIndex = state.uiIndex;
    MeterFlow spectralFlow(session.protocol(), pageState);
    if (const std::optional<Text> failure = MeterFlow::message(spectralFlow.readSlotsAndMode()))
        return fail(text(*failure));
    DownloadFiles spectraFiles;
    qint64 spectraCount = 0;
    if (!download(spectralFlow, MeterFlow::Spectra, output, spectraFiles, spectraCount))
        return Failure;
    const DownloadTables::BatchOf fromSpectraFiles = [&spectraFiles](qint64 first, int count,
                                                                     MeterFlow::Download &batch, QString &why) {
        return spectraFiles.read(first, count, batch, why);
    };
    const DownloadOrigin spectraOrigin = origin(MeterFlow::Spectra, pageState);
    archiveDownload(spectraOrigin, spectraCount, fromSpectraFiles);
    DownloadTables spectral(spectraOrigin, options.chinese, DownloadTables::ColourTable);
    if (!spectral.load(0, int(spectraCount), fromSpectraFiles, reason))
        return fail(text(Text::CliWriteFailed).arg(outputName(), reason));
    return writeReport(&recordsOfReport, &spectral, spectraCount);
}

int CliRunner::writeReport(const RecordsOfReport *records, DownloadTables *spectral, qint64 spectraCount,
                           const DownloadNotes &notes)
{
    // A report's details are the options given, or else the download's notes.
    const auto detail = [](const QString &given, const QString &noted) { return given.isEmpty() ? noted : given; };
    ReportContent content;
    content.details.chinese = options.chinese;
    content.details.title = detail(options.reportTitle, notes.title);
    content.details.location = detail(options.reportLocation, notes.location);
    content.details.operatorName = detail(options.reportOperator, notes.operatorName);
    content.details.note = detail(options.reportNote, notes.text);
    content.details.paper = options.paper.value_or(ReportDetails::defaultPaper(UserLanguage::paperLocale(environment)));
    content.setMeterFacts(records ? records->tables->meterSheet(records->count) : spectral->meterSheet(spectraCount));
    QString reason;
    if (records && !content.addRecordBatches(*records->tables, records->count, records->batchOf, reason))
        return fail(text(Text::CliWriteFailed).arg(outputName(), reason));
    if (spectral)
        content.addSpectral(*spectral->spectraModel(), *spectral->coloursModel());
    if (!PdfReport::write(options.outputFile, content, {}, reason))
        return fail(text(Text::CliWriteFailed).arg(outputName(), reason));
    return Success;
}

bool CliRunner::usesArchive() const
{
    switch (options.command) {
    case CliOptions::Command::Records:
    case CliOptions::Command::Spectra:
    case CliOptions::Command::Colour:
        return options.archive;
    case CliOptions::Command::History:
    case CliOptions::Command::Export:
    case CliOptions::Command::Annotate:
        return true;
    default:
        return false;
    }
}

std::unique_ptr<MeasurementArchive> CliRunner::openArchive(QString &reason, MeasurementArchive::Access access) const
{
    return MeasurementArchive::openLocation(options.archiveLocation, reason, access);
}

int CliRunner::runHistory()
{
    QString reason;
    const std::unique_ptr<MeasurementArchive> archive = openArchive(reason, MeasurementArchive::Access::ReadOnly);
    if (!archive)
        return fail(text(Text::CliArchiveUnavailable).arg(reason));
    ArchiveFilter filter;
    filter.serial = options.serial;
    if (options.since.isValid())
        filter.sinceUtc = options.since.startOfDay().toUTC();
    filter.text = options.grep;
    QList<ArchiveEntry> entries;
    if (!archive->list(filter, entries))
        return fail(text(Text::CliArchiveUnavailable).arg(archive->errorString()));
    if (options.json) {
        return printJson([&](JsonWriter &json) {
            json.beginArray();
            for (const ArchiveEntry &entry : entries) {
                const MeterKind *kind = MeterKind::find(entry.uiIndex);
                json.beginObject();
                json.key(QStringLiteral("id"));
                json.value(entry.id);
                json.key(QStringLiteral("downloaded"));
                json.value(DownloadDocument::isoTime(entry.downloadedUtc));
                json.key(QStringLiteral("meter"));
                json.beginObject();
                json.key(QStringLiteral("serial"));
                json.value(MeterFlow::serialText(entry.keyInfo));
                json.key(QStringLiteral("modelCode"));
                json.value(qint64(qint32(entry.keyInfo.modelCode)));
                json.key(QStringLiteral("firmware"));
                json.value(MeterFlow::firmwareText(entry.keyInfo));
                json.key(QStringLiteral("kind"));
                json.value(entry.uiIndex);
                json.key(QStringLiteral("mode"));
                if (kind && kind->hasMode)
                    json.value(entry.mode);
                else
                    json.null();
                json.endObject();
                json.key(QStringLiteral("recordCount"));
                json.value(entry.recordCount);
                json.key(QStringLiteral("table"));
                json.value(tableName(entry.table));
                json.key(QStringLiteral("host"));
                json.value(entry.hostName);
                json.key(QStringLiteral("program"));
                json.value(entry.programVersion);
                DownloadDocument::writeNotes(json, entry.notes);
                json.key(QStringLiteral("edited"));
                json.value(entry.edited);
                json.endObject();
            }
            json.endArray();
        });
    }
    // One line per download, its id first: id, local time, serial, model, kind, records, table,
    // title, location (each on one line).
    QString lines;
    for (const ArchiveEntry &entry : entries) {
        lines += QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7\t%8\t%9\n")
                     .arg(entry.id)
                     .arg(entry.downloadedUtc.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                          MeterFlow::serialText(entry.keyInfo))
                     .arg(qint32(entry.keyInfo.modelCode))
                     .arg(entry.uiIndex)
                     .arg(entry.recordCount)
                     .arg(tableName(entry.table), oneLine(entry.notes.title), oneLine(entry.notes.location));
    }
    return printResult(lines);
}

int CliRunner::runExport()
{
    if (options.exportIds.size() > 1)
        return runComparison();
    QString reason;
    const std::unique_ptr<MeasurementArchive> archive = openArchive(reason, MeasurementArchive::Access::ReadOnly);
    if (!archive)
        return fail(text(Text::CliArchiveUnavailable).arg(reason));
    const qint64 id = options.exportId;
    ArchiveEntry entry;
    ArchivedMemory memory[2];
    if (!archive->entry(id, entry)) {
        if (archive->errorString().isEmpty())
            return fail(text(Text::CliNoSuchDownload).arg(id));
        return fail(text(Text::CliArchiveUnavailable).arg(archive->errorString()));
    }
    if (!archive->memoryExtents(id, memory))
        return fail(text(Text::CliArchiveUnavailable).arg(archive->errorString()));
    // A download that does not agree with itself would give a wrong or endless table.
    if (const std::optional<QString> damage = DownloadArchiver::damage(entry, memory, options.chinese))
        return fail(*damage);
    // The download as it stands now (rows deleted left out, names typed in place of the meter's),
    // unless what the meter gave is asked for.
    QList<RecordEdit> edits;
    if (!options.original && !archive->edits(id, edits))
        return fail(text(Text::CliArchiveUnavailable).arg(archive->errorString()));
    // The table the command wrote, made again from the memory as read and the catalogs it was
    // read with, a batch at a time from the archive's chunks as a download is from its files.
    const bool names = memory[int(ArchiveArea::Names)].bytes > 0;
    const DownloadTables::BatchOf fromOriginal = [&](qint64 first, int records, MeterFlow::Download &batch,
                                                     QString &error) {
        batch.count = records;
        batch.names.clear();
        if (archive->readMemory(id, ArchiveArea::Records, first * MeterFacts::RecordSize,
                                qint64(records) * MeterFacts::RecordSize, batch.records)
            && (!names
                || archive->readMemory(id, ArchiveArea::Names, first * MeterFacts::NameSlotSize,
                                       qint64(records) * MeterFacts::NameSlotSize, batch.names)))
            return true;
        error = archive->errorString();
        return false;
    };
    const EditedDownload edited(edits, entry.recordCount, fromOriginal);
    const DownloadTables::BatchOf &fromArchive = edited.batchOf();
    const qint64 count = edited.count();
    if (options.writesReport()) {
        if (options.toStandardOutput())
            return fail(
                text(Text::CliWriteFailed).arg(outputName(), ReportTexts::text(ReportText::NeedsFile, options.chinese)));
        // The report of the download as it was: its own time, its records (read from the archive
        // a batch at a time as the pages are laid out) or its spectra with their colours (held
        // whole: the charts draw them all).
        const bool spectralDownload = purposeOf(entry.table) == DownloadPurpose::Spectra;
        DownloadTables reported(DownloadArchiver::originOf(entry), options.chinese,
                                spectralDownload ? DownloadTables::ColourTable : DownloadTables::PurposeTable);
        // The notes are the report's details, not facts about the meter.
        edited.applyTo(reported);
        if (!spectralDownload) {
            const RecordsOfReport records{&reported, count, fromArchive};
            return writeReport(&records, nullptr, 0, entry.notes);
        }
        if (!reported.load(0, int(count), fromArchive, reason))
            return fail(text(Text::CliWriteFailed).arg(outputName(), reason));
        return writeReport(nullptr, &reported, count, entry.notes);
    }
    OutputFile output(options.outputFile, options.outputFormat(), options.writesJson(), options.chinese, out);
    if (!output.prepare(reason) || !output.accepts(count, reason))
        return fail(text(Text::CliWriteFailed).arg(outputName(), reason));
    DownloadTables tables(DownloadArchiver::originOf(entry), options.chinese, DownloadArchiver::contentsOf(entry));
    edited.applyTo(tables);
    tables.setNotes(entry.notes);
    if (output.isJson())
        return writeDocument(output, tables, count, fromArchive, entry.id);
    const TableFile::TableOf tableOf = [&](qint64 first, int records, ExportTable &table, QString &why) {
        return tables.table(first, records, fromArchive, table, why);
    };
    QList<ExportSheet> sheets;
    QString sheetsReason;
    if (options.outputFormat() != TableFile::Csv && !tables.extraSheets(count, fromArchive, sheets, sheetsReason))
        return fail(text(Text::CliWriteFailed).arg(outputName(), sheetsReason));
    return writeOutput(output, count, tableOf, sheets);
}

int CliRunner::runAnnotate()
{
    // Only a change needs to write: showing the notes works on an archive the user may only read.
    const bool changes = !options.notesGiven.isEmpty();
    QString reason;
    const std::unique_ptr<MeasurementArchive> archive =
        openArchive(reason, changes ? MeasurementArchive::Access::ReadWrite : MeasurementArchive::Access::ReadOnly);
    if (!archive)
        return fail(text(Text::CliArchiveUnavailable).arg(reason));
    const qint64 id = options.exportId;
    ArchiveNotes notes;
    if (!archive->notes(id, notes)) {
        if (archive->errorString().isEmpty())
            return fail(text(Text::CliNoSuchDownload).arg(id));
        return fail(text(Text::CliArchiveUnavailable).arg(archive->errorString()));
    }
    if (changes) {
        const ArchiveNotes given{options.reportTitle, options.reportLocation, options.reportOperator,
                                 options.reportNote};
        if (!archive->setNotes(id, given, options.notesGiven))
            return fail(text(Text::CliArchiveUnavailable).arg(archive->errorString()));
        return Success;
    }
    if (options.json) {
        return printJson([&](JsonWriter &json) {
            json.beginObject();
            json.key(QStringLiteral("id"));
            json.value(id);
            DownloadDocument::writeNotes(json, notes);
            json.endObject();
        });
    }
    // One line per note, "label: text"; the further lines of a note indented under its first.
    const std::pair<Text, const QString *> lines[] = {
        {Text::MeterSheetTitle, &notes.title},
        {Text::MeterSheetLocation, &notes.location},
        {Text::MeterSheetOperator, &notes.operatorName},
        {Text::MeterSheetNote, &notes.text},
    };
    QString shown;
    for (const auto &[label, value] : lines) {
        QString note = *value;
        note.replace(QLatin1Char('\n'), QStringLiteral("\n  "));
        shown += text(label) + QStringLiteral(": ") + note + QLatin1Char('\n');
    }
    return printResult(shown);
}
