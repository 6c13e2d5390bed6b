#include "CliRunner.h"

#include "CatalogLoader.h"
#include "CliTexts.h"
#include "CsvWriter.h"
#include "ExcelEngine.h"
#include "ExportTable.h"
#include "HidapiTransport.h"
#include "MeterIdentification.h"
#include "MeterImage.h"
#include "MeterLock.h"
#include "MeterProtocol.h"
#include "RecordDownload.h"
#include "RecordMessages.h"
#include "RecordsSheet.h"
#include "SheetGrid.h"
#include "SpectraSheet.h"
#include "TerminalProgress.h"
#include "VirtualMeterTransport.h"

#include <QFileInfo>

CliRunner::CliRunner(FILE *out, FILE *err) : out(out), err(err) {}

CliRunner::~CliRunner() = default;

void CliRunner::print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
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

int CliRunner::failWrite(const QString &reason)
{
    return fail(CliTexts::text(CliTexts::WriteFailed, options.chinese).arg(options.outputFile, reason));
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
        print(err, QStringLiteral("lumivane-cli: ")
                       + CliTexts::text(CliTexts::CatalogDirMissing, options.chinese).arg(options.catalogDirectory)
                       + QLatin1Char('\n'));
        return UsageFailure;
    }
    catalogDirectory =
        options.catalogDirectory.isEmpty() ? CatalogLoader::defaultDirectory() : options.catalogDirectory;
    // The records page reads these two when it is built; the probe catalog waits for a kind-6 meter.
    CatalogLoader::loadMeterCatalog(catalogDirectory, meterCatalog);
    CatalogLoader::loadUnitCatalog(catalogDirectory, unitCatalog);

    progress = std::make_unique<TerminalProgress>(err, !options.quiet && TerminalProgress::isTerminal(err));

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
            message = CliTexts::text(CliTexts::ImageUnreadable, options.chinese).arg(options.virtualMeterImage, error);
            return false;
        }
        transport = std::make_unique<VirtualMeterTransport>(image);
    } else {
        transport = std::make_unique<HidapiTransport>();
    }
    if (session.openUsb(std::move(transport)))
        return true;
    if (session.lastOpenHeldElsewhere())
        message = MeterLock::heldElsewhereText(options.chinese);
    else if (session.lastOpenAccessDenied())
        message = CliTexts::text(CliTexts::AccessDenied, options.chinese).arg(session.lastOpenDeniedPath());
    else
        message = CliTexts::text(CliTexts::NoMeter, options.chinese);
    return false;
}

bool CliRunner::identify(QString &message)
{
    QString openMessage;
    if (!openMeter(openMessage)) {
        message = openMessage;
        return false;
    }
    const MeterIdentification::Result result =
        MeterIdentification::identify(session.protocol(), meterCatalog, {uiIndex, mode, unitSlots}, keyInfo);
    if (const auto failure = MeterIdentification::message(result)) {
        message = RecordMessages::text(*failure, options.chinese);
        return false;
    }
    if (uiIndex == 6)
        CatalogLoader::loadProbeCatalog(catalogDirectory, probeNames);
    return true;
}

int CliRunner::runIdentify()
{
    QString message;
    if (!identify(message))
        return fail(message);
    int count = 0;
    if (session.protocol().readRecordCount(count) < 0)
        return fail(RecordMessages::text(RecordMessages::RecordCountFailed, options.chinese));
    session.close();

    const QString modeText = MeterIdentification::hasMode(uiIndex) ? QString::number(mode) : QStringLiteral("-");
    print(out, QStringLiteral("serial: %1\nfirmware: %2\nmodel: %3\nkind: %4\nmode: %5\nrecords: %6\n")
                   .arg(MeterIdentification::serialText(keyInfo), MeterIdentification::firmwareText(keyInfo))
                   .arg(qint32(keyInfo.modelCode))
                   .arg(uiIndex)
                   .arg(modeText)
                   .arg(count));
    return Success;
}

bool CliRunner::prepareOutput(std::unique_ptr<ExcelEngine> &engine)
{
    // Everything about the target that can fail is found out before the meter is read.
    engine = std::make_unique<ExcelEngine>(options.outputFile);
    if (!engine->prepareFile(options.outputFile)) {
        if (!ExcelEngine::canReplaceFile(options.outputFile))
            failWrite(CliTexts::text(CliTexts::FileNotReplaceable, options.chinese));
        else
            failWrite(CliTexts::text(CliTexts::FolderNotWritable, options.chinese));
        return false;
    }
    if (options.outputFormat() == CliOptions::Format::Csv) {
        engine.reset();
        return true;
    }
    // The workbook is built now, from "./template.xls" when there is one, as the window does.
    if (!engine->openWorkbook(1)) {
        failWrite(engine->errorString());
        return false;
    }
    return true;
}

int CliRunner::writeOutput(const ExportTable &table, ExcelEngine *engine)
{
    if (!engine) {
        QString error;
        switch (CsvWriter::write(options.outputFile, SheetGrid::rows(table), error)) {
        case CsvWriter::Written:
            return Success;
        case CsvWriter::NotReplaceable:
            return failWrite(CliTexts::text(CliTexts::FileNotReplaceable, options.chinese));
        case CsvWriter::Failed:
            return failWrite(error);
        }
        return Failure;
    }
    // The window's export: write the table (which saves), save under the chosen name, close.
    if (!engine->writeTable(table, nullptr) || !engine->saveWorkbookAs(options.outputFile)) {
        const QString reason = engine->errorString();
        engine->closeWorkbook();
        return failWrite(reason);
    }
    engine->closeWorkbook();
    return Success;
}

bool CliRunner::startDownload(int lastKind, CliTexts::Message wrongKind, std::unique_ptr<ExcelEngine> &engine)
{
    if (!prepareOutput(engine))
        return false;
    QString message;
    if (!identify(message)) {
        fail(message);
        return false;
    }
    if (uiIndex < 1 || uiIndex > lastKind) {
        fail(CliTexts::text(wrongKind, options.chinese).arg(uiIndex));
        return false;
    }
    return true;
}

bool CliRunner::download(RecordDownload &transfer, int &downloadMode, QList<int> &downloadSlots,
                         const std::function<void()> &slotsRead)
{
    RecordDownload::Callbacks callbacks;
    callbacks.slotsRead = slotsRead;
    callbacks.transferStarting = [this](int chunks) {
        progress->start(RecordMessages::text(RecordMessages::ReadingProgress, options.chinese), chunks);
    };
    callbacks.chunkRead = [this](int chunkCounter) { progress->setValue(chunkCounter + 1); };
    const RecordDownload::Result result = transfer.run(uiIndex, downloadMode, downloadSlots, callbacks);
    progress->finish();
    session.close();
    if (const auto failure = RecordDownload::message(result)) {
        fail(RecordMessages::text(*failure, options.chinese));
        return false;
    }
    return true;
}

int CliRunner::runRecords()
{
    std::unique_ptr<ExcelEngine> engine;
    if (!startDownload(6, CliTexts::UnsupportedKind, engine))
        return Failure;

    // Identification ends with the column set-up; the download sets the columns up again once it
    // has read the unit slots and the mode.
    RecordsSheet sheet(unitCatalog, probeNames, options.chinese);
    sheet.setUpColumns(uiIndex, mode, unitSlots);

    RecordDownload records(session.protocol(), RecordDownload::Records);
    if (!download(records, mode, unitSlots, [&] { sheet.setUpColumns(uiIndex, mode, unitSlots); }))
        return Failure;
    // Without records (none stored) the download holds no memory and adds no row.
    sheet.appendRecords(records, uiIndex, mode);
    return writeOutput(sheet.exportTable(uiIndex, mode, unitSlots), engine.get());
}

int CliRunner::runSpectra()
{
    std::unique_ptr<ExcelEngine> engine;
    if (!startDownload(5, CliTexts::NoSpectra, engine))
        return Failure;

    // Opening the spectral page reads the unit slots and the mode into the page's own state and
    // sets its table up; the download then reads them again.
    MeterProtocol &protocol = session.protocol();
    int pageMode = 0;
    QList<int> pageSlots;
    if (protocol.readUnitNumbers(pageSlots) < 0)
        return fail(RecordMessages::text(RecordMessages::UnitNumbersFailed, options.chinese));
    if (MeterIdentification::hasMode(uiIndex) && protocol.readMode(pageMode, uiIndex) < 0)
        return fail(RecordMessages::text(RecordMessages::ModeFailed, options.chinese));
    SpectraSheet sheet(unitCatalog, uiIndex, options.chinese);
    sheet.setUp(pageSlots);

    RecordDownload spectra(protocol, RecordDownload::Spectra);
    if (!download(spectra, pageMode, pageSlots, [&] { sheet.setUp(pageSlots); }))
        return Failure;
    sheet.appendRecords(spectra, pageMode);
    return writeOutput(sheet.exportTable(), engine.get());
}
