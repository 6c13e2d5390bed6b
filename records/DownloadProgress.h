// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How a download tells its progress: a progress dialog in the window, a bar on the terminal for
// the command line.
class DownloadProgress
{
public:
    virtual ~DownloadProgress() = default;
    // Before the first chunk, with the number of chunks of both memory areas.
    virtual void start(int chunks) = 0;
    // After each chunk that arrived, with the running chunk counter (0 for the first chunk).
    virtual void chunkRead(int chunkCounter) = 0;
    // Asked after each chunk: true when the user cancelled, so that no further chunk is requested
    // and the download yields nothing. A progress without a cancel (the command line's) never is.
    virtual bool cancelled() const { return false; }
};
