// SPDX-License-Identifier: GPL-3.0-or-later
// lumivane-make-samples OUTDIR: writes the sample meter images (kind1.json ... kind6.json) into
// OUTDIR, creating it when missing. The images in samples/meters are its output.

#include "SampleImages.h"

#include <QDir>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2 || argv[1][0] == '\0') {
        std::fprintf(stderr, "usage: lumivane-make-samples OUTDIR\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "lumivane-make-samples: cannot create %s\n", argv[1]);
        return 1;
    }
    QString error;
    if (!SampleImages::writeAll(dir, error)) {
        std::fprintf(stderr, "lumivane-make-samples: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
