#pragma once

#include "CatalogTypes.h"
#include "CliOptions.h"
#include "CliTexts.h"
#include "KeyInfo.h"
#include "MeterSession.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <memory>

class ExcelEngine;
class ExportTable;
class RecordDownload;
class TerminalProgress;

// The command-line program: parses the arguments, opens the meter (USB or virtual), identifies it
// as the records page does, runs the command and writes the result. Failures are told on standard
// error with the window's own texts in the chosen language.
class CliRunner
{
public:
    enum ExitCode {
        Success = 0,
        Failure = 1,
        UsageFailure = 2
    };

    CliRunner(FILE *out, FILE *err);
    ~CliRunner();

    CliRunner(const CliRunner &) = delete;
    CliRunner &operator=(const CliRunner &) = delete;

    // arguments: without the program name.
    int run(const QStringList &arguments);

private:
    int fail(const QString &message);
    int failWrite(const QString &reason);
    bool openMeter(QString &message);
    bool identify(QString &message);
    int runIdentify();
    int runRecords();
    int runSpectra();
    bool prepareOutput(std::unique_ptr<ExcelEngine> &engine);
    // The output can be written, the meter is identified and is of a kind 1..lastKind; false, with
    // the failure told, otherwise.
    bool startDownload(int lastKind, CliTexts::Message wrongKind, std::unique_ptr<ExcelEngine> &engine);
    // Runs the download with its progress on standard error, then closes the meter. False, with the
    // failure told, when a read failed; a meter without records is no failure.
    bool download(RecordDownload &transfer, int &downloadMode, QList<int> &downloadSlots,
                  const std::function<void()> &slotsRead);
    int writeOutput(const ExportTable &table, ExcelEngine *engine);
    void print(FILE *stream, const QString &text);

    FILE *out;
    FILE *err;
    CliOptions options;
    std::unique_ptr<TerminalProgress> progress;

    QString catalogDirectory;
    MeterCatalog meterCatalog;
    UnitCatalog unitCatalog;
    ProbeNames probeNames;

    MeterSession session;
    KeyInfo keyInfo;
    int uiIndex = 1;
    int mode = 0;
    QList<int> unitSlots;
};
