// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CliOptions.h"

#include <QString>

// The command line's composed texts: its help, its usage error report and its version, put
// together from the catalogue's texts (TextCatalogue) and the synopsis.
class CliTexts
{
public:
    // The lines of the interface, one per command, then --help and --version.
    static QString synopsis();
    // The whole --help text.
    static QString help(bool chinese);
    // A usage error: the reason, the synopsis and where to find more.
    static QString usage(const UsageError &error, bool chinese);
    static QString version();
};
