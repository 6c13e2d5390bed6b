// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// Keeps a C library's own messages off standard error while one of its calls runs, and hands them
// to the debug log afterwards.
//
// libxlsxwriter reports a failure twice: as the error code it returns, which the program turns
// into its one message, and as "[ERROR]" lines it prints with fprintf(stderr, ...). Nothing in its
// interface turns the printing off, and a full disk cannot be ruled out by checking the space
// beforehand (the disk fills while the file is written). So while the call runs, file descriptor 2
// points at a file in memory (memfd); when the call has returned it points back at standard error
// and the lines it caught go to the debug log (qDebug), where the window's log keeps them and the
// command line drops them. Descriptor 2 belongs to the whole process: output of other threads
// during the call goes to the debug log too (the workbook engines run in the thread that shows
// their progress). When the descriptors cannot be set up, nothing is caught and standard error
// stays as it was.
class LibraryMessages
{
public:
    explicit LibraryMessages(const char *library);
    ~LibraryMessages();
    LibraryMessages(const LibraryMessages &) = delete;
    LibraryMessages &operator=(const LibraryMessages &) = delete;

private:
    const QByteArray library;
    int savedError = -1; // standard error while the call runs
    int caught = -1;     // where descriptor 2 points meanwhile
};
