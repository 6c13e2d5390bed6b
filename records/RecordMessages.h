#pragma once

#include <QString>

// The texts the records and spectral pages show to the user, in both languages, so that the
// command line reports a failure with the very same text the window would show.
class RecordMessages
{
public:
    enum Message {
        KeyInfoFailed,
        VersionTooLow,
        MeterMismatch,
        UnitNumbersFailed,
        ModeFailed,
        RecordCountFailed,
        RecordDataFailed,
        RecordNameFailed,
        SaveFirstQuestion,
        ClearQuestion,
        ReadingProgress,
        CancelButton,
        DeleteButton
    };

    // "提示" or "Tip": the title of every message and question box.
    static QString title(bool languageFlag);
    static QString text(Message message, bool languageFlag);
};
