// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliOptions.h"

#include "ReportDetails.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

const QString endOfOptions = QStringLiteral("--");

// The options with the names they are given by; the first name is the one every spelling counts
// as when an option is given twice.
QList<QCommandLineOption> optionList()
{
    const QString value = QStringLiteral("value");
    QList<QCommandLineOption> list;
    for (const char *name : {"virtual-meter", "catalog-dir", "lang", "format", "o", "archive", "serial", "since",
                             "title", "location", "operator", "note", "paper", "grep"})
        list << QCommandLineOption(QString::fromLatin1(name), QString(), value);
    list << QCommandLineOption(QStringList{QStringLiteral("quiet"), QStringLiteral("q")})
         << QCommandLineOption(QStringLiteral("no-archive")) << QCommandLineOption(QStringLiteral("json"))
         << QCommandLineOption(QStringLiteral("original"));
    return list;
}

// Reads arguments with Qt's parser: "--name=value" and "--name value", "-" a word, "--" ends
// the options, and single-dash words are never split into joined short options ("-oa.xls" is an
// unknown option, not -o with a value).
bool parseArguments(QCommandLineParser &parser, const QStringList &arguments,
                    QCommandLineParser::OptionsAfterPositionalArgumentsMode afterWords)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setOptionsAfterPositionalArgumentsMode(afterWords);
    parser.addOptions(optionList());
    // Qt's parser skips the first argument as the program's name.
    return parser.parse(QStringList{QString()} + arguments);
}

// The command line read in two steps: the options before the command, then the command's words
// with the options among and after them. Every option may stand on either side.
struct CommandLine
{
    QCommandLineParser beforeCommand;
    QCommandLineParser afterCommand;
    QStringList head; // the arguments before the command
    QStringList tail; // the arguments after it
    bool headParsed = false;
    bool tailParsed = false;
    QStringList words; // the command and its words

    explicit CommandLine(const QStringList &arguments)
    {
        headParsed = parseArguments(beforeCommand, arguments, QCommandLineParser::ParseAsPositionalArguments);
        const QStringList rest = beforeCommand.positionalArguments();
        // Qt's parser reads on after a "-" word; from the first other word on it keeps the
        // arguments as they are.
        qsizetype dashes = 0;
        while (dashes < rest.size() && rest.at(dashes) == QLatin1String("-"))
            ++dashes;
        const qsizetype kept = rest.size() - dashes;
        head = arguments.mid(0, arguments.size() - kept);
        // After "--" every word is a word, the command's as well; a "--" that is an option's value
        // ends nothing.
        qsizetype valuesEnd = 0;
        for (const QCommandLineOption &option : optionList())
            valuesEnd += beforeCommand.values(option.names().constFirst()).count(endOfOptions);
        const bool optionsEnded = head.count(endOfOptions) > valuesEnd;
        if (kept > 0 && !optionsEnded)
            tail = rest.mid(dashes + 1);
        tailParsed = parseArguments(afterCommand, tail, QCommandLineParser::ParseAsOptions);
        words = kept == 0 || optionsEnded ? rest : rest.mid(0, dashes + 1) + afterCommand.positionalArguments();
    }

    bool isSet(const QString &name) const { return beforeCommand.isSet(name) || afterCommand.isSet(name); }
};

// An option's name as the user wrote it: "-" before one letter, "--" before a word.
QString spelling(const QString &name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// An argument Qt's parser refused, and where it stands.
struct Refused
{
    UsageError error;
    qsizetype index = 0;
};

// The refused argument: an unknown option, a flag given a value, or a value option at the end
// of the arguments. Searched from the end, since an earlier copy of it may be another option's
// value.
Refused refusedArgument(const QCommandLineParser &parser, const QStringList &arguments)
{
    const QStringList unknown = parser.unknownOptionNames();
    // A copy after "--" is a word, but the search goes on to the earlier one.
    for (qsizetype i = arguments.size() - 1; i >= 0 && !unknown.isEmpty(); --i) {
        const QString &argument = arguments.at(i);
        const bool doubleDash = argument.startsWith(endOfOptions);
        if (!argument.startsWith(QLatin1Char('-'))
            || argument.mid(doubleDash ? 2 : 1).section(QLatin1Char('='), 0, 0) != unknown.first())
            continue;
        // "--name=value" names "--name"; a single-dash word is reported whole.
        return {{UsageError::UnknownOption, doubleDash ? argument.section(QLatin1Char('='), 0, 0) : argument}, i};
    }
    // Qt's text quotes the option: "Missing value after '--lang'." or "Unexpected value after '--json'."
    const QString option = parser.errorText().section(QLatin1Char('\''), 1, 1);
    const QString name = option.mid(option.startsWith(endOfOptions) ? 2 : 1);
    for (const QCommandLineOption &known : optionList()) {
        if (known.names().contains(name) && !known.valueName().isEmpty())
            return {{UsageError::MissingValue, option}, arguments.size() - 1};
    }
    for (qsizetype i = arguments.size() - 1; i >= 0; --i) {
        if (arguments.at(i).startsWith(option + QLatin1Char('=')))
            return {{UsageError::UnknownOption, arguments.at(i)}, i};
    }
    return {{UsageError::MissingValue, option}, arguments.size() - 1};
}

// The options whose value is a note: annotate takes an empty one, which empties the note.
bool isNoteOption(const QString &name)
{
    return name == QLatin1String("title") || name == QLatin1String("location") || name == QLatin1String("operator")
           || name == QLatin1String("note");
}

// Takes the value of one option, checked.
UsageError takeValue(const QString &name, const QString &value, CliOptions &options)
{
    if (value.isEmpty() && !isNoteOption(name))
        return {UsageError::EmptyValue, spelling(name)};
    if (name == QLatin1String("virtual-meter")) {
        options.virtualMeterImage = value;
    } else if (name == QLatin1String("catalog-dir")) {
        options.catalogDirectory = value;
    } else if (name == QLatin1String("o")) {
        options.outputFile = value;
    } else if (name == QLatin1String("lang")) {
        if (value != QLatin1String("zh") && value != QLatin1String("en"))
            return {UsageError::BadLanguage, value};
        options.chinese = value == QLatin1String("zh");
    } else if (name == QLatin1String("format")) {
        for (const TableFile::Format format : {TableFile::Xls, TableFile::Xlsx, TableFile::Csv}) {
            if (value == TableFile::suffix(format))
                options.format = format;
        }
        options.json = options.json || value == QLatin1String("json");
        options.pdf = value == QLatin1String("pdf");
        if (!options.format && !options.json && !options.pdf)
            return {UsageError::BadFormat, value};
    } else if (name == QLatin1String("archive")) {
        options.archiveLocation = value;
    } else if (name == QLatin1String("serial")) {
        // Its meaning depends on the command, which may still follow.
        options.meterSerial = value;
    } else if (name == QLatin1String("title")) {
        options.reportTitle = value;
    } else if (name == QLatin1String("location")) {
        options.reportLocation = value;
    } else if (name == QLatin1String("operator")) {
        options.reportOperator = value;
    } else if (name == QLatin1String("note")) {
        options.reportNote = value;
    } else if (name == QLatin1String("grep")) {
        options.grep = value;
    } else if (name == QLatin1String("paper")) {
        QPageSize::PageSizeId paper = QPageSize::A4;
        if (!ReportDetails::paperFromName(value, paper))
            return {UsageError::BadPaper, value};
        options.paper = paper;
    } else if (name == QLatin1String("since")) {
        // Qt reads the first ten characters and ignores what follows them.
        options.since = QDate::fromString(value, Qt::ISODate);
        if (!options.since.isValid() || value.size() != 10)
            return {UsageError::BadDate, value};
    }
    return {};
}

// Takes the options in the order they were given; the first one given twice or with a bad
// value is the error.
UsageError takeOptions(const QCommandLineParser &parser, CliOptions &options, QSet<QString> &seen)
{
    const QList<QCommandLineOption> list = optionList();
    QHash<QString, QString> firstName;
    for (const QCommandLineOption &option : list) {
        for (const QString &name : option.names())
            firstName.insert(name, option.names().first());
    }
    for (const QString &name : parser.optionNames()) {
        const QString key = firstName.value(name);
        if (seen.contains(key))
            return {UsageError::RepeatedOption, spelling(name)};
        seen.insert(key);
        if (key == QLatin1String("quiet"))
            options.quiet = true;
        else if (key == QLatin1String("no-archive"))
            options.archive = false;
        else if (key == QLatin1String("json"))
            options.json = true;
        else if (key == QLatin1String("original"))
            options.original = true;
        else if (const UsageError error = takeValue(name, parser.values(name).constFirst(), options);
                 error.kind != UsageError::None)
            return error;
    }
    return {};
}

// Takes the options of arguments Qt's parser read. Where it refused one, the options before it
// are checked first, so the first mistake on the line is the one reported.
UsageError takeArguments(const QCommandLineParser &parser, bool parsed, const QStringList &arguments,
                         CliOptions &options, QSet<QString> &seen)
{
    if (parsed)
        return takeOptions(parser, options, seen);
    const Refused refused = refusedArgument(parser, arguments);
    const QStringList before = arguments.mid(0, std::max<qsizetype>(refused.index, 0));
    QCommandLineParser beforeParser;
    const bool beforeParsed = parseArguments(beforeParser, before, QCommandLineParser::ParseAsOptions);
    const UsageError earlier = takeArguments(beforeParser, beforeParsed, before, options, seen);
    return earlier.kind != UsageError::None ? earlier : refused.error;
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
    const CommandLine line(arguments);
    const QString lang = QStringLiteral("lang");
    for (const QString &value : line.beforeCommand.values(lang) + line.afterCommand.values(lang)) {
        if (value == QLatin1String("zh"))
            chinese = true;
        else if (value == QLatin1String("en"))
            chinese = false;
    }
    return chinese;
}

UsageError CliArguments::parse(const QStringList &arguments, CliOptions &options)
{
    // --help and --version win over every mistake and even stand where a value would.
    const QStringList beforeEnd = arguments.mid(0, arguments.indexOf(endOfOptions));
    if (beforeEnd.contains(QStringLiteral("--help"))) {
        options.command = CliOptions::Command::Help;
        return {};
    }
    if (beforeEnd.contains(QStringLiteral("--version"))) {
        options.command = CliOptions::Command::Version;
        return {};
    }

    const CommandLine line(arguments);
    // The first mistake before the command is reported before any after it.
    QSet<QString> seen;
    if (const UsageError error = takeArguments(line.beforeCommand, line.headParsed, line.head, options, seen);
        error.kind != UsageError::None)
        return error;
    if (const UsageError error = takeArguments(line.afterCommand, line.tailParsed, line.tail, options, seen);
        error.kind != UsageError::None)
        return error;

    const QStringList &words = line.words;
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
    else if (command == QLatin1String("annotate"))
        options.command = CliOptions::Command::Annotate;
    else
        return {UsageError::UnknownCommand, command};
    // export and annotate take the id of an archived download; every other command takes no word.
    const bool takesId =
        options.command == CliOptions::Command::Export || options.command == CliOptions::Command::Annotate;
    const qsizetype wordsTaken = takesId ? 2 : 1;
    if (words.size() < wordsTaken)
        return {UsageError::MissingId, command};
    if (words.size() > wordsTaken)
        return {UsageError::ExtraArgument, words.at(wordsTaken)};
    if (takesId) {
        // One id; export takes several, separated by commas, to compare their spectra.
        const QStringList ids = options.command == CliOptions::Command::Export ? words.at(1).split(QLatin1Char(','))
                                                                               : QStringList{words.at(1)};
        for (const QString &word : ids) {
            bool number = false;
            const qint64 id = word.trimmed().toLongLong(&number);
            if (!number || id <= 0)
                return {UsageError::BadNumber, words.at(1)};
            options.exportIds.append(id);
        }
        options.exportId = options.exportIds.first();
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
    if (takesId && line.isSet(QStringLiteral("serial")))
        return {UsageError::HistoryOnly, QStringLiteral("--serial")};
    for (const char *option : {"since", "grep"}) {
        if (options.command != CliOptions::Command::History && line.isSet(QLatin1String(option)))
            return {UsageError::HistoryOnly, spelling(QLatin1String(option))};
    }
    if (options.command != CliOptions::Command::Export && line.isSet(QStringLiteral("original")))
        return {UsageError::ExportOnly, QStringLiteral("--original")};

    const std::pair<const char *, NoteField> noteOptions[] = {
        {"title", NoteField::Title},
        {"location", NoteField::Location},
        {"operator", NoteField::Operator},
        {"note", NoteField::Text},
    };
    const bool annotate = options.command == CliOptions::Command::Annotate;
    for (const auto &[option, field] : noteOptions) {
        if (!line.isSet(QLatin1String(option)))
            continue;
        if (options.command != CliOptions::Command::Report && !annotate)
            return {UsageError::ReportOnly, spelling(QLatin1String(option))};
        // A report's details are shown only when given; only a note can be emptied.
        const QString &value = field == NoteField::Title      ? options.reportTitle
                               : field == NoteField::Location ? options.reportLocation
                               : field == NoteField::Operator ? options.reportOperator
                                                              : options.reportNote;
        if (!annotate && value.isEmpty())
            return {UsageError::EmptyValue, spelling(QLatin1String(option))};
        options.notesGiven << field;
    }
    if (line.isSet(QStringLiteral("paper")) && !options.writesReport())
        return {UsageError::ReportOnly, QStringLiteral("--paper")};
    // A report is a PDF, and a PDF is a report: export's or report's.
    if (options.command == CliOptions::Command::Report && (options.format || options.json))
        return {UsageError::BadFormat, options.json ? QStringLiteral("json") : TableFile::suffix(*options.format)};
    if (annotate && (options.format || options.pdf))
        return {UsageError::BadFormat, options.pdf ? QStringLiteral("pdf") : TableFile::suffix(*options.format)};
    if (options.pdf && options.command != CliOptions::Command::Export && options.command != CliOptions::Command::Report)
        return {UsageError::BadTableFormat, QStringLiteral("pdf")};

    const bool writesFile =
        options.command == CliOptions::Command::Report || options.command == CliOptions::Command::Records || options.command == CliOptions::Command::Spectra
        || options.command == CliOptions::Command::Colour || options.command == CliOptions::Command::Export;
    if (writesFile && options.outputFile.isEmpty())
        return {UsageError::MissingOutput, command};
    if (!writesFile && !options.outputFile.isEmpty())
        return {UsageError::OutputNotAllowed, command};
    return {};
}
