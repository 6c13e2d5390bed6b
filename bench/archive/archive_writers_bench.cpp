// SPDX-License-Identifier: GPL-3.0-or-later
// Four lumivane-cli downloads of 200,000 kind-1 records each (BenchMeterImage's virtual meter, an
// instant link) end at the same time into one SQLite archive, five rounds of four: every one of
// the 20 downloads must be archived, none "not archived" because another held the archive's
// write lock. Reports how many were archived and the longest download.
//
// Run a Release build: archive_writers_bench [records] [rounds]. The last lines are
// "archived: N of M" and "longest download: S s".

#include "BenchMeterImage.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int writers = 4;

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? QByteArray(argv[1]).toInt() : 200000;
    const int rounds = argc > 2 ? QByteArray(argv[2]).toInt() : 5;
    QTemporaryDir dir;
    const QString image = dir.filePath(QStringLiteral("meter.json"));
    const QString archive = dir.filePath(QStringLiteral("archive.sqlite"));
    if (records <= 0 || rounds <= 0 || !dir.isValid() || !BenchMeterImage::writeKind1(image, records)) {
        std::fprintf(stderr, "usage: archive_writers_bench [records] [rounds]\n");
        return 2;
    }
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/lumivane-cli");
    int notArchived = 0;
    double longest = 0;
    for (int round = 0; round < rounds; ++round) {
        std::vector<std::unique_ptr<QProcess>> downloads;
        QElapsedTimer timer;
        timer.start();
        for (int w = 0; w < writers; ++w) {
            downloads.push_back(std::make_unique<QProcess>());
            // Each its own lock folder: the virtual meters are separate meters.
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            const QString runtime = dir.filePath(QStringLiteral("run%1").arg(w));
            QDir().mkpath(runtime);
            environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
            downloads.back()->setProcessEnvironment(environment);
            downloads.back()->start(program, {QStringLiteral("-q"), QStringLiteral("--lang"), QStringLiteral("en"),
                                              QStringLiteral("--archive"), archive, QStringLiteral("--virtual-meter"),
                                              image, QStringLiteral("records"), QStringLiteral("-o"),
                                              dir.filePath(QStringLiteral("out%1.csv").arg(w))});
        }
        for (const std::unique_ptr<QProcess> &download : downloads) {
            if (!download->waitForFinished(-1) || download->exitCode() != 0) {
                std::fprintf(stderr, "a download failed: %s\n", download->readAllStandardError().constData());
                return 1;
            }
            const QByteArray said = download->readAllStandardError();
            if (!said.isEmpty()) {
                ++notArchived;
                std::fprintf(stderr, "%s", said.constData());
            }
        }
        const double seconds = timer.nsecsElapsed() / 1e9;
        longest = std::max(longest, seconds);
        std::printf("round %d: %d downloads in %.1f s\n", round + 1, writers, seconds);
    }
    QProcess history;
    history.start(program, {QStringLiteral("--archive"), archive, QStringLiteral("history")});
    if (!history.waitForFinished(-1) || history.exitCode() != 0)
        return std::fprintf(stderr, "history failed\n"), 1;
    const int listed = int(history.readAllStandardOutput().count('\n'));
    std::printf("archived: %d of %d (%d told not archived)\n", listed, writers * rounds, notArchived);
    std::printf("longest download: %.1f s\n", longest);
    return listed == writers * rounds ? 0 : 1;
}
