// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CatalogTypes.h"
#include "CliOptions.h"
#include "DownloadTables.h"
#include "KeyInfo.h"
#include "MeasurementArchive.h"
#include "MeterFlow.h"
#include "MeterSession.h"
#include "MeterState.h"
#include "OutputFile.h"
#include "TextCatalogue.h"

#include <QDateTime>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <memory>

class DownloadFiles;
class JsonWriter;
class TerminalProgress;

// The command-line program: parses the arguments, opens the meter (USB or virtual), identifies it
// as the records page does, runs the command and writes the result. A download goes into
// temporary files and fills the same table model as the window's page, a batch of records at a
// time for CSV, and writes the table that model exports, so the file is the window's export.
// Failures are told on standard error with the window's own texts in the chosen language.
class CliRunner
{
public:
    enum ExitCode {
        Success = 0,
        Failure = 1,
        UsageFailure = 2
    };

    // environment: where the user's language is found when --lang does not name one.
    CliRunner(FILE *out, FILE *err, const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());
    ~CliRunner();

    CliRunner(const CliRunner &) = delete;
    CliRunner &operator=(const CliRunner &) = delete;

    // arguments: without the program name.
    int run(const QStringList &arguments);

private:
    QString text(Text id) const { return TextCatalogue::text(id, options.chinese); }
    int fail(const QString &message);
    // The transport to the meter: the virtual one --virtual-meter names, or hidapi, listing only
    // the meter --serial names when it is given; nullptr with the reason when the image cannot be
    // read.
    std::unique_ptr<HidReportTransport> makeTransport(QString &message) const;
    bool openMeter(QString &message);
    // One line per attached meter: node, serial number, and "ok" or why it cannot be opened.
    int runList();
    bool identify(QString &message);
    int runIdentify();
    int runRecords();
    // A spectral download that writes the spectral table or the colour table of its records.
    int runSpectra(DownloadTables::Contents contents);
    int runHistory();
    int runExport();
    // export ID1,ID2,...: the spectra of several archived downloads in one table (CliComparison.cpp).
    int runComparison();
    // Shows an archived download's notes, or changes those given.
    int runAnnotate();
    // Downloads the records and, for kinds with spectra, the spectra, and writes one report.
    int runReport();
    // A records download as a report reads it: a batch at a time, from its files or the archive.
    struct RecordsOfReport
    {
        DownloadTables *tables;
        qint64 count;
        DownloadTables::BatchOf batchOf;
    };
    // The report of the download's tables (either may be nullptr where there are none) into -o's FILE.
    // Its details are the report options given, or else the download's notes.
    int writeReport(const RecordsOfReport *records, DownloadTables *spectral, qint64 spectraCount,
                    const DownloadNotes &notes = {});
    // Archives the download unless --no-archive; its id, 0 (the user told why) when not kept.
    qint64 archiveDownload(const DownloadOrigin &origin, qint64 count, const DownloadTables::BatchOf &batchOf,
                           DownloadTables::Contents contents = DownloadTables::PurposeTable);
    // The output can be written and the meter is identified; false, with the failure told,
    // otherwise.
    bool startDownload(OutputFile &output);
    // Runs the download into the files of memory with its progress on standard error, then closes
    // the meter; count gets the record count. False, with the failure told, when a read failed or
    // output cannot hold the records (found out before any memory is read); a meter without
    // records is no failure (count 0).
    bool download(MeterFlow &flow, MeterFlow::Purpose purpose, const OutputFile &output, DownloadFiles &memory,
                  qint64 &count);
    DownloadOrigin origin(MeterFlow::Purpose purpose, const MeterState &downloadState) const;
    // Archives the download (unless --no-archive), then writes it.
    int finishDownload(OutputFile &output, const DownloadOrigin &origin, qint64 count, DownloadFiles &memory,
                       DownloadTables::Contents contents = DownloadTables::PurposeTable);
    // The archive --archive names (the default one without it), open; nullptr, with the reason,
    // when it cannot be used.
    std::unique_ptr<MeasurementArchive>
    openArchive(QString &reason, MeasurementArchive::Access access = MeasurementArchive::Access::ReadWrite) const;
    // Whether the command reads or writes the archive.
    bool usesArchive() const;
    // Writes the table and, into a workbook, the further sheets (about the meter, the statistics).
    int writeOutput(OutputFile &output, qint64 count, const TableFile::TableOf &tableOf,
                    const QList<ExportSheet> &extraSheets);
    // Writes the download's JSON document into the output.
    int writeDocument(OutputFile &output, DownloadTables &tables, qint64 count, const DownloadTables::BatchOf &batchOf,
                      qint64 archiveId);
    // Writes the message and flushes the stream; false when the stream did not take all of it.
    bool print(FILE *stream, const QByteArray &bytes);
    bool print(FILE *stream, const QString &message);
    // Writes a command's result to standard output: Success, or Failure, told on standard error,
    // when it could not be written.
    int printResult(const QString &result);
    int printResult(const QByteArray &result);
    // A small JSON document (a listing) on standard output, as printResult writes it.
    int printJson(const std::function<void(JsonWriter &json)> &document);
    // How messages name -o's FILE.
    QString outputName() const;

    FILE *const out;
    FILE *const err;
    const QProcessEnvironment environment;
    CliOptions options;
    std::unique_ptr<TerminalProgress> progress;

    QString catalogDirectory;
    MeterCatalog meterCatalog;
    UnitCatalog unitCatalog;
    ProbeNames probeNames;

    MeterSession session;
    KeyInfo keyInfo;
    MeterState state;
    QDateTime downloaded; // when the last download ended
};
