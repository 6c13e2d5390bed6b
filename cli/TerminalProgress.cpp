// SPDX-License-Identifier: GPL-3.0-or-later
#include "TerminalProgress.h"

#include <unistd.h>

TerminalProgress::TerminalProgress(FILE *stream, bool enabled, const QString &label)
    : stream(stream),
      enabled(enabled),
      label(label)
{}

TerminalProgress::~TerminalProgress()
{
    finish();
}

bool TerminalProgress::isTerminal(FILE *stream)
{
    return stream && ::isatty(::fileno(stream)) == 1;
}

QString TerminalProgress::line(const QString &label, int done, int maximum, int width)
{
    const int total = qMax(maximum, 1);
    const int shown = qBound(0, done, total);
    const int filled = int(qint64(shown) * width / total);
    return QStringLiteral("%1 [%2%3] %4/%5")
        .arg(label, QString(filled, QLatin1Char('#')), QString(width - filled, QLatin1Char('.')))
        .arg(shown)
        .arg(total);
}

void TerminalProgress::start(int chunks)
{
    maximum = chunks;
    done = 0;
    draw();
}

void TerminalProgress::chunkRead(int chunkCounter)
{
    done = chunkCounter + 1;
    draw();
}

void TerminalProgress::draw()
{
    if (!enabled)
        return;
    // Clear to the end of the line: a shorter redraw must not leave old characters behind.
    std::fprintf(stream, "\r%s\x1b[K", line(label, done, maximum).toUtf8().constData());
    std::fflush(stream);
    drawn = true;
}

void TerminalProgress::finish()
{
    if (drawn) {
        std::fputc('\n', stream);
        std::fflush(stream);
        drawn = false;
    }
}
