#pragma once

#include <QString>

#include <cstdio>

// A one-line progress bar on a terminal: "label [#####.....] 5/10", redrawn in place. It draws
// only when enabled (standard error is a terminal and the user did not ask for quiet), so that
// scripts see nothing on standard error but messages.
class TerminalProgress
{
public:
    TerminalProgress(FILE *stream, bool enabled);
    ~TerminalProgress();

    TerminalProgress(const TerminalProgress &) = delete;
    TerminalProgress &operator=(const TerminalProgress &) = delete;

    void start(const QString &label, int maximum);
    // done: how many steps are complete (0..maximum).
    void setValue(int done);
    // Ends the line, if one is drawn, so that what follows starts on a fresh line.
    void finish();

    // The line drawn for a state, without the carriage return.
    static QString line(const QString &label, int done, int maximum, int width = 30);

    // Whether a bar should be drawn on this stream.
    static bool isTerminal(FILE *stream);

private:
    void draw();

    FILE *stream;
    bool enabled;
    bool drawn = false;
    QString label;
    int maximum = 0;
    int done = 0;
};
