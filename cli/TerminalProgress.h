// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DownloadProgress.h"

#include <QString>

#include <cstdio>

// A download's progress as a one-line bar on a terminal: "label [#####.....] 5/10", redrawn in
// place after every chunk. It draws only when enabled (standard error is a terminal and the user
// did not ask for quiet), so that scripts see nothing on standard error but messages.
class TerminalProgress final : public DownloadProgress
{
public:
    TerminalProgress(FILE *stream, bool enabled, const QString &label);
    ~TerminalProgress() override;

    TerminalProgress(const TerminalProgress &) = delete;
    TerminalProgress &operator=(const TerminalProgress &) = delete;

    void start(int chunks) override;
    // The bar counts the chunks that have arrived: the first chunk (counter 0) makes it 1.
    void chunkRead(int chunkCounter) override;
    // Ends the line, if one is drawn, so that what follows starts on a fresh line.
    void finish();

    // The line drawn for a state, without the carriage return.
    static QString line(const QString &label, int done, int maximum, int width = 30);

    // Whether a bar should be drawn on this stream.
    static bool isTerminal(FILE *stream);

private:
    void draw();

    FILE *const stream;
    const bool enabled;
    const QString label;
    bool drawn = false;
    int maximum = 0;
    int done = 0;
};
