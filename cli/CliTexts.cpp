// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliTexts.h"

#include "ProgramVersion.h"
#include "TextCatalogue.h"

namespace {

// The catalogue's text for a usage error; "no command" for NoCommand (and None, never reported).
Text reasonText(UsageError::Kind kind)
{
    switch (kind) {
    case UsageError::UnknownOption:
        return Text::UsageUnknownOption;
    case UsageError::MissingValue:
        return Text::UsageMissingValue;
    case UsageError::EmptyValue:
        return Text::UsageEmptyValue;
    case UsageError::RepeatedOption:
        return Text::UsageRepeatedOption;
    case UsageError::BadLanguage:
        return Text::UsageBadLanguage;
    case UsageError::BadFormat:
        return Text::UsageBadFormat;
    case UsageError::BadTableFormat:
        return Text::UsageBadTableFormat;
    case UsageError::UnknownCommand:
        return Text::UsageUnknownCommand;
    case UsageError::ExtraArgument:
        return Text::UsageExtraArgument;
    case UsageError::MissingOutput:
        return Text::UsageMissingOutput;
    case UsageError::OutputNotAllowed:
        return Text::UsageOutputNotAllowed;
    case UsageError::BadNumber:
        return Text::UsageBadNumber;
    case UsageError::BadDate:
        return Text::UsageBadDate;
    case UsageError::HistoryOnly:
        return Text::UsageHistoryOnly;
    case UsageError::MissingId:
        return Text::UsageMissingId;
    case UsageError::BadArchive:
        return Text::UsageBadArchive;
    case UsageError::ReportOnly:
        return Text::UsageReportOnly;
    case UsageError::BadPaper:
        return Text::UsageBadPaper;
    case UsageError::ExportOnly:
        return Text::UsageExportOnly;
    case UsageError::None:
    case UsageError::NoCommand:
        break;
    }
    return Text::UsageNoCommand;
}

QString reason(const UsageError &error, bool chinese)
{
    if (error.kind == UsageError::None)
        return {};
    const QString text = TextCatalogue::text(reasonText(error.kind), chinese);
    // "No command" is the only reason that names nothing.
    return error.kind == UsageError::NoCommand ? text : text.arg(error.argument);
}

} // namespace

QString CliTexts::synopsis()
{
    return QStringLiteral("lumivane-cli [OPTIONS] list [--json]\n"
                          "lumivane-cli [OPTIONS] identify [--json]\n"
                          "lumivane-cli [OPTIONS] records -o FILE\n"
                          "lumivane-cli [OPTIONS] spectra -o FILE\n"
                          "lumivane-cli [OPTIONS] colour -o FILE\n"
                          "lumivane-cli [OPTIONS] history [--serial N] [--since DATE] [--grep TEXT] [--json]\n"
                          "lumivane-cli [OPTIONS] export ID [--original] -o FILE\n"
                          "lumivane-cli [OPTIONS] annotate ID [--title T] [--location L] [--operator O]\n"
                          "             [--note N] [--json]\n"
                          "lumivane-cli [OPTIONS] report -o FILE.pdf [--title T] [--location L] [--operator O]\n"
                          "             [--note N] [--paper a4|letter]\n"
                          "lumivane-cli --help | --version\n");
}

QString CliTexts::help(bool chinese)
{
    QString indented;
    for (const QString &line : synopsis().split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        indented += QStringLiteral("  ") + line + QLatin1Char('\n');
    return TextCatalogue::text(Text::CliUsageHeading, chinese) + indented + QLatin1Char('\n')
           + TextCatalogue::text(Text::CliHelpBody, chinese);
}

QString CliTexts::usage(const UsageError &error, bool chinese)
{
    return QStringLiteral("lumivane-cli: ") + reason(error, chinese) + QLatin1Char('\n')
           + TextCatalogue::text(Text::CliUsageHeading, chinese) + synopsis()
           + TextCatalogue::text(Text::CliMoreHelp, chinese);
}

QString CliTexts::version()
{
    return QStringLiteral("lumivane-cli %1\nLicence: %2 (GNU General Public License, version 3 or later)\n"
                          "This is free software: you may change and share it. There is NO WARRANTY, to the\n"
                          "extent permitted by law.\n")
        .arg(ProgramVersion::version(), ProgramVersion::licence());
}
