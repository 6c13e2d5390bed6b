#pragma once

#include "CliOptions.h"

#include <QString>

// The command line's own texts, in Chinese and English. Failures that the window reports too are
// told with the window's texts (RecordMessages); these are for what only the command line meets.
class CliTexts
{
public:
    enum Message {
        NoMeter,            // no meter enumerated, or none could be opened
        AccessDenied,       // %1: the device node
        ImageUnreadable,    // %1: the image file, %2: the reason
        CatalogDirMissing,  // %1: the directory
        NoSpectra,          // %1: the meter kind
        UnsupportedKind,    // %1: the meter kind
        WriteFailed,        // %1: the output file, %2: the reason
        FileNotReplaceable, // a reason for WriteFailed: an existing file that must not be replaced
        FolderNotWritable   // a reason for WriteFailed: the file's folder is missing or read-only
    };

    static QString text(Message message, bool chinese);

    // The four lines of the interface.
    static QString synopsis();
    // The whole --help text.
    static QString help(bool chinese);
    // A usage error: the reason, the synopsis and where to find more.
    static QString usage(const UsageError &error, bool chinese);
    static QString version();
};
