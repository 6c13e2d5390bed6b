// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ArchiveEntry.h"
#include "TableFile.h"

#include <QDate>
#include <QPageSize>
#include <QString>
#include <QStringList>

#include <optional>

// What the command line asks for:
//   lumivane-cli [OPTIONS] list [--serial N] [--json]
//   lumivane-cli [OPTIONS] identify [--serial N] [--json]
//   lumivane-cli [OPTIONS] records [--serial N] -o FILE
//   lumivane-cli [OPTIONS] spectra [--serial N] -o FILE
//   lumivane-cli [OPTIONS] colour [--serial N] -o FILE
//   lumivane-cli [OPTIONS] history [--serial N] [--since DATE] [--grep TEXT] [--json]
//   lumivane-cli [OPTIONS] export ID [--original] -o FILE
//   lumivane-cli [OPTIONS] export ID1,ID2,... [--original] -o FILE
//   lumivane-cli [OPTIONS] annotate ID [--title T] [--location L] [--operator O] [--note N] [--json]
//   lumivane-cli [OPTIONS] report -o FILE.pdf [--title T] [--location L] [--operator O] [--note N] [--paper a4|letter]
// FILE "-" is standard output.
//   lumivane-cli --help | --version
struct CliOptions
{
    enum class Command {
        None,
        Identify,
        Records,
        Spectra,
        Colour, // the spectra downloaded, the colour table of their records written
        History,
        Export,
        Report, // records (and spectra) downloaded, one PDF report written
        List,
        Annotate, // an archived download's notes shown or changed
        Help,
        Version
    };

    Command command = Command::None;
    QString virtualMeterImage; // empty: the USB meter
    QString catalogDirectory;  // empty: where the window finds the catalogs
    QString outputFile;
    bool chinese = true;                     // --lang zh or en; the caller sets the default beforehand
    std::optional<TableFile::Format> format; // --format xls|xlsx|csv; none: from FILE's suffix
    bool json = false;                       // --json or --format json
    bool quiet = false;
    bool archive = true;          // --no-archive turns the archive off
    QString archiveLocation;      // --archive; empty: the default SQLite archive
    std::optional<qint32> serial; // history --serial
    QString meterSerial;          // --serial of the meter commands, as given; empty: the first meter found
    QDate since;                  // history --since (local date); invalid: from the first download
    qint64 exportId = 0;          // export ID, annotate ID (the first of a comparison's)
    QList<qint64> exportIds;      // export ID1,ID2,...: every id named; more than one compares them
    bool original = false;        // export --original: what the meter gave, without the user's edits
    QString grep;                 // history --grep: only downloads whose notes hold it
    bool pdf = false;             // --format pdf
    QString reportTitle;          // report and annotate --title, --location, --operator, --note
    QString reportLocation;
    QString reportOperator;
    QString reportNote;
    std::optional<QPageSize::PageSizeId> paper; // --paper; none: from the locale
    QList<NoteField> notesGiven;                // annotate: the note options given, which it changes

    // The format that is written: --format when given, otherwise the one FILE's suffix names
    // (".xlsx", ".csv", ".xls" in any case), CSV for standard output ("-") and xls for any other
    // FILE.
    TableFile::Format outputFormat() const;
    // Whether the output is JSON: --json or --format json, or a FILE ending in ".json" (any case)
    // without --format.
    bool writesJson() const;
    // Whether the output is a PDF report: the report command, or export with --format pdf or a
    // FILE ending in ".pdf" (any case) without --format.
    bool writesReport() const;
    // Whether FILE is standard output.
    bool toStandardOutput() const { return outputFile == QLatin1String("-"); }
};

// A command line that does not follow the interface.
struct UsageError
{
    enum Kind {
        None,
        UnknownOption,  // argument: the option
        MissingValue,   // argument: the option
        EmptyValue,     // argument: the option
        RepeatedOption, // argument: the option
        BadLanguage,    // argument: the value
        BadFormat,      // argument: the value
        BadTableFormat, // argument: the value; a format the command's table cannot be written in
        NoCommand,
        UnknownCommand,   // argument: the word
        ExtraArgument,    // argument: the word
        MissingOutput,    // argument: the command
        OutputNotAllowed, // argument: the command
        BadNumber,        // argument: the value
        BadDate,          // argument: the value
        HistoryOnly,      // argument: the option
        MissingId,        // argument: the command
        BadArchive,       // argument: why the --archive location cannot be used
        ReportOnly,       // argument: the option
        BadPaper,         // argument: the value
        ExportOnly        // argument: the option
    };

    Kind kind = None;
    QString argument;
};

class CliArguments
{
public:
    // Parses the arguments (without the program name) with Qt's parser, in two steps: the
    // options before the command, then the command's words with the options among and after
    // them. --help and --version anywhere before "--" win over everything else. Options may
    // stand before or after the command, long options with a value as "--name value" or
    // "--name=value". The first mistake on the line is the error reported; the options are
    // then partly filled.
    static UsageError parse(const QStringList &arguments, CliOptions &options);

    // The language asked for with a valid --lang (not one that is another option's value), so
    // that a usage error found before it is still reported in that language; chinese (the
    // user's language) otherwise.
    static bool languageOf(const QStringList &arguments, bool chinese);
};
