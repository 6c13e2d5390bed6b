// SPDX-License-Identifier: GPL-3.0-or-later
#include "LibraryMessages.h"

#include <QDebug>

#include <cstdio>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

LibraryMessages::LibraryMessages(const char *library) : library(library)
{
    std::fflush(stderr);
    caught = memfd_create("library-messages", MFD_CLOEXEC);
    if (caught < 0)
        return;
    savedError = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (savedError < 0 || dup2(caught, STDERR_FILENO) < 0) {
        if (savedError >= 0)
            close(savedError);
        close(caught);
        savedError = caught = -1;
    }
}

LibraryMessages::~LibraryMessages()
{
    if (caught < 0)
        return;
    std::fflush(stderr);
    dup2(savedError, STDERR_FILENO);
    close(savedError);
    QByteArray text;
    char buffer[4096];
    if (lseek(caught, 0, SEEK_SET) == 0) {
        for (ssize_t got = 0; (got = read(caught, buffer, sizeof buffer)) > 0;)
            text.append(buffer, got);
    }
    close(caught);
    for (const QByteArray &line : text.split('\n')) {
        if (!line.isEmpty())
            qDebug().noquote() << QString::fromUtf8(library + ": " + line);
    }
}
