// SPDX-License-Identifier: GPL-3.0-or-later
// Runs lumivane-cli beside this program on a virtual meter holding 500,000 kind-1 records and
// writes them to CSV, then exports the archived download again to CSV (export 1, which must give
// the same file), then downloads them to a JSON document, and reports the program's peak resident
// set (wait4's maximum resident set size) for each. The meter image is BenchMeterImage's. The
// download is archived too, into an SQLite archive of its own, as every download is. The link is
// instant: only memory counts here.
//
// Run a Release build: cli_memory_bench [records]. The last lines are "csv peak memory: N MB",
// "export peak memory: N MB" and "json peak memory: N MB".

#include "BenchMeterImage.h"
#include "ResidentSet.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QByteArray hashOf(const QString &path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    return file.open(QIODevice::ReadOnly) && hash.addData(&file) ? hash.result() : QByteArray();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? QByteArray(argv[1]).toInt() : 500000;
    if (records <= 0) {
        std::fprintf(stderr, "usage: cli_memory_bench [records]\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString image = dir.filePath(QStringLiteral("meter.json"));
    const QString output = dir.filePath(QStringLiteral("records.csv"));
    if (!dir.isValid() || !BenchMeterImage::writeKind1(image, records)) {
        std::fprintf(stderr, "cannot write the meter image\n");
        return 1;
    }

    const QByteArray program = (QCoreApplication::applicationDirPath() + QStringLiteral("/lumivane-cli")).toLocal8Bit();
    const QByteArray archive = dir.filePath(QStringLiteral("archive.sqlite")).toLocal8Bit();
    // One run with the arguments; false with the reason told.
    const auto runWith = [&](const QList<QByteArray> &arguments, qint64 &peakBytes) {
        switch (ResidentSet::runChild(QList<QByteArray>{program, "-q", "--archive", archive} + arguments, peakBytes)) {
        case ResidentSet::ChildRun::Finished:
            return true;
        case ResidentSet::ChildRun::NotStarted:
            std::fprintf(stderr, "cannot start %s\n", program.constData());
            return false;
        case ResidentSet::ChildRun::Failed:
            std::fprintf(stderr, "lumivane-cli failed\n");
            return false;
        }
        return false;
    };
    // One download writing the records to output.
    const auto runTo = [&](const QString &output, qint64 &peakBytes) {
        return runWith({"--virtual-meter", image.toLocal8Bit(), "records", "-o", output.toLocal8Bit()}, peakBytes);
    };
    // How often a text occurs in a file, read a MiB at a time (a text never spans two reads: the
    // file's lines are far shorter).
    const auto occurrences = [](const QString &path, const QByteArray &text, qint64 &bytes) -> qint64 {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return -1;
        bytes = file.size();
        qint64 count = 0;
        QByteArray carry;
        while (!file.atEnd()) {
            const QByteArray block = carry + file.read(1 << 20);
            count += block.count(text);
            carry = block.right(text.size() - 1);
        }
        return count;
    };

    qint64 csvPeak = 0;
    qint64 csvBytes = 0;
    if (!runTo(output, csvPeak))
        return 1;
    // Every CSV line ends with CR LF; line breaks inside the titles are bare LF.
    const qint64 lines = occurrences(output, "\r\n", csvBytes);
    if (lines != qint64(records) + 1) {
        std::fprintf(stderr, "the CSV has %lld lines, not %d\n", lines, records + 1);
        return 1;
    }
    // The archived download (the first in its archive) written again.
    const QString exported = dir.filePath(QStringLiteral("exported.csv"));
    qint64 exportPeak = 0;
    if (!runWith({"export", "1", "-o", exported.toLocal8Bit()}, exportPeak))
        return 1;
    if (hashOf(exported) != hashOf(output)) {
        std::fprintf(stderr, "the exported CSV differs from the downloaded one\n");
        return 1;
    }
    QFile::remove(output);
    QFile::remove(exported);

    const QString json = dir.filePath(QStringLiteral("records.json"));
    qint64 jsonPeak = 0;
    qint64 jsonBytes = 0;
    if (!runTo(json, jsonPeak))
        return 1;
    const qint64 objects = occurrences(json, "{\"number\":", jsonBytes);
    if (objects != qint64(records)) {
        std::fprintf(stderr, "the JSON document has %lld records, not %d\n", objects, records);
        return 1;
    }
    std::printf("records: %d (kind 1, %d stored, the rest zeros); CSV %.1f MiB, JSON %.1f MiB\n", records,
                qMin(records, BenchMeterImage::StoredRecords), csvBytes / 1048576.0, jsonBytes / 1048576.0);
    std::printf("csv peak memory: %lld MB\n", csvPeak / (1024 * 1024));
    std::printf("export peak memory: %lld MB\n", exportPeak / (1024 * 1024));
    std::printf("json peak memory: %lld MB\n", jsonPeak / (1024 * 1024));
    return 0;
}
