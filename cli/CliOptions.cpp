// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliOptions.h"

#include "ReportDetails.h"

#include <QFileInfo>
#include <QSet>

namespace {

const QString endOfOptions = QStringLiteral("--");

bool isValueOption(const QString &name)
{
    for (const char *option :
         {"--virtual-meter", "--catalog-dir", "--lang", "--format", "-o", "--archive", "--serial", "--since", "--title",
          "--location", "--operator", "--note", "--paper"}) {
        if (name == QLatin1String(option))
            return true;
    }
    return false;
}

// Options that take no value.
bool isFlag(const QString &name)
{
    return name == QLatin1String("-q") || name == QLatin1String("--quiet") || name == QLatin1String("--no-archive")
           || name == QLatin1String("--json");
}

// Splits "--name=value" into its parts; other arguments keep an empty value and hasValue false.
void splitOption(const QString &argument, QString &name, QString &value, bool &hasValue)
{
    const qsizetype equals = argument.startsWith(QLatin1String("--")) ? argument.indexOf(QLatin1Char('=')) : -1;
    hasValue = equals > 0;
    name = hasValue ? argument.left(equals) : argument;
    value = hasValue ? argument.mid(equals + 1) : QString();
}

} // namespace

TableFile::Format CliOptions::outputFormat() const
{
    if (format)
        return *format;
    if (toStandardOutput())
        return TableFile::Csv;
    return TableFile::formatOfSuffix(outputFile).value_or(TableFile::Xls);
}

bool CliOptions::writesJson() const
{
    return json || (!format && QFileInfo(outputFile).suffix().compare(QLatin1String("json"), Qt::CaseInsensitive) == 0);
}

bool CliOptions::writesReport() const
{
    if (command == Command::Report)
        return true;
    return command == Command::Export
           && (pdf || (!format && !json && QFileInfo(outputFile).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0));
}

bool CliArguments::languageOf(const QStringList &arguments, bool chinese)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments.at(i) == endOfOptions)
            break;
        QString name, value;
        bool hasValue = false;
        splitOption(arguments.at(i), name, value, hasValue);
        if (name != QLatin1String("--lang"))
            continue;
        if (!hasValue && i + 1 < arguments.size())
            value = arguments.at(++i);
        if (value == QLatin1String("zh"))
            chinese = true;
        else if (value == QLatin1String("en"))
            chinese = false;
    }
    return chinese;
}

UsageError CliArguments::parse(const QStringList &arguments, CliOptions &options)
{
    for (const QString &argument : arguments) {
        if (argument == endOfOptions)
            break;
        if (argument == QLatin1String("--help")) {
            options.command = CliOptions::Command::Help;
            return {};
        }
    }
    for (const QString &argument : arguments) {
        if (argument == endOfOptions)
            break;
        if (argument == QLatin1String("--version")) {
            options.command = CliOptions::Command::Version;
            return {};
        }
    }

    QStringList words;
    QSet<QString> seen;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            words << argument;
            continue;
        }
        if (argument == endOfOptions) {
            optionsEnded = true;
            continue;
        }

        QString name, value;
        bool hasValue = false;
        splitOption(argument, name, value, hasValue);
        // -q and --quiet are one option.
        const QString key = name == QLatin1String("-q") ? QStringLiteral("--quiet") : name;
        if (isFlag(name)) {
            if (hasValue)
                return {UsageError::UnknownOption, argument};
        } else if (!isValueOption(name)) {
            return {UsageError::UnknownOption, name};
        } else if (!hasValue) {
            if (i + 1 >= arguments.size())
                return {UsageError::MissingValue, name};
            value = arguments.at(++i);
        }
        if (seen.contains(key))
            return {UsageError::RepeatedOption, name};
        seen.insert(key);

        if (key == QLatin1String("--quiet")) {
            options.quiet = true;
            continue;
        }
        if (key == QLatin1String("--no-archive")) {
            options.archive = false;
            continue;
        }
        if (key == QLatin1String("--json")) {
            options.json = true;
            continue;
        }
        if (value.isEmpty())
            return {UsageError::EmptyValue, name};
        if (name == QLatin1String("--virtual-meter")) {
            options.virtualMeterImage = value;
        } else if (name == QLatin1String("--catalog-dir")) {
            options.catalogDirectory = value;
        } else if (name == QLatin1String("-o")) {
            options.outputFile = value;
        } else if (name == QLatin1String("--lang")) {
            if (value != QLatin1String("zh") && value != QLatin1String("en"))
                return {UsageError::BadLanguage, value};
            options.chinese = value == QLatin1String("zh");
        } else if (name == QLatin1String("--format")) {
            for (const TableFile::Format format : {TableFile::Xls, TableFile::Xlsx, TableFile::Csv}) {
                if (value == TableFile::suffix(format))
                    options.format = format;
            }
            options.json = options.json || value == QLatin1String("json");
            options.pdf = value == QLatin1String("pdf");
            if (!options.format && !options.json && !options.pdf)
                return {UsageError::BadFormat, value};
        } else if (name == QLatin1String("--archive")) {
            options.archiveLocation = value;
        } else if (name == QLatin1String("--serial")) {
            // Its meaning depends on the command, which may still follow.
            options.meterSerial = value;
        } else if (name == QLatin1String("--title")) {
            options.reportTitle = value;
        } else if (name == QLatin1String("--location")) {
            options.reportLocation = value;
        } else if (name == QLatin1String("--operator")) {
            options.reportOperator = value;
        } else if (name == QLatin1String("--note")) {
            options.reportNote = value;
        } else if (name == QLatin1String("--paper")) {
            QPageSize::PageSizeId paper = QPageSize::A4;
            if (!ReportDetails::paperFromName(value, paper))
                return {UsageError::BadPaper, value};
            options.paper = paper;
        } else if (name == QLatin1String("--since")) {
            // Qt reads the first ten characters and ignores what follows them.
            options.since = QDate::fromString(value, Qt::ISODate);
            if (!options.since.isValid() || value.size() != 10)
                return {UsageError::BadDate, value};
        }
    }

    if (words.isEmpty())
        return {UsageError::NoCommand, {}};
    const QString &command = words.first();
    if (command == QLatin1String("identify"))
        options.command = CliOptions::Command::Identify;
    else if (command == QLatin1String("records"))
        options.command = CliOptions::Command::Records;
    else if (command == QLatin1String("spectra"))
        options.command = CliOptions::Command::Spectra;
    else if (command == QLatin1String("colour"))
        options.command = CliOptions::Command::Colour;
    else if (command == QLatin1String("history"))
        options.command = CliOptions::Command::History;
    else if (command == QLatin1String("export"))
        options.command = CliOptions::Command::Export;
    else if (command == QLatin1String("report"))
        options.command = CliOptions::Command::Report;
    else if (command == QLatin1String("list"))
        options.command = CliOptions::Command::List;
    else
        return {UsageError::UnknownCommand, command};
    // export takes the id of an archived download; every other command takes no word.
    const qsizetype wordsTaken = options.command == CliOptions::Command::Export ? 2 : 1;
    if (words.size() < wordsTaken)
        return {UsageError::MissingId, command};
    if (words.size() > wordsTaken)
        return {UsageError::ExtraArgument, words.at(wordsTaken)};
    if (options.command == CliOptions::Command::Export) {
        bool number = false;
        options.exportId = words.at(1).toLongLong(&number);
        if (!number || options.exportId <= 0)
            return {UsageError::BadNumber, words.at(1)};
    }
    // history filters its archived downloads by a numeric serial; the meter commands choose the
    // attached meter by the serial text list prints; export takes neither filter.
    if (options.command == CliOptions::Command::History && !options.meterSerial.isEmpty()) {
        bool number = false;
        const qint32 serial = options.meterSerial.toInt(&number);
        if (!number)
            return {UsageError::BadNumber, options.meterSerial};
        options.serial = serial;
        options.meterSerial.clear();
    }
    if (options.command == CliOptions::Command::Export && seen.contains(QStringLiteral("--serial")))
        return {UsageError::HistoryOnly, QStringLiteral("--serial")};
    if (options.command != CliOptions::Command::History && seen.contains(QStringLiteral("--since")))
        return {UsageError::HistoryOnly, QStringLiteral("--since")};

    for (const char *option : {"--title", "--location", "--operator", "--note"}) {
        if (options.command != CliOptions::Command::Report && seen.contains(QLatin1String(option)))
            return {UsageError::ReportOnly, QLatin1String(option)};
    }
    if (seen.contains(QStringLiteral("--paper")) && !options.writesReport())
        return {UsageError::ReportOnly, QStringLiteral("--paper")};
    // A report is a PDF, and a PDF is a report: export's or report's.
    if (options.command == CliOptions::Command::Report && (options.format || options.json))
        return {UsageError::BadFormat, options.json ? QStringLiteral("json") : TableFile::suffix(*options.format)};
    if (options.pdf && options.command != CliOptions::Command::Export && options.command != CliOptions::Command::Report)
        return {UsageError::BadFormat, QStringLiteral("pdf")};

    const bool writesFile =
        options.command == CliOptions::Command::Report || options.command == CliOptions::Command::Records || options.command == CliOptions::Command::Spectra
        || options.command == CliOptions::Command::Colour || options.command == CliOptions::Command::Export;
    if (writesFile && options.outputFile.isEmpty())
        return {UsageError::MissingOutput, command};
    if (!writesFile && !options.outputFile.isEmpty())
        return {UsageError::OutputNotAllowed, command};
    return {};
}
