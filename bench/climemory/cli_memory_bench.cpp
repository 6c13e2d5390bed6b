// SPDX-License-Identifier: GPL-3.0-or-later
// Runs lumivane-cli beside this program on a virtual meter holding 500,000 kind-1 records and
// writes them to CSV, then reports the program's peak resident set (wait4's maximum resident
// set size). The meter image is built here from the kind-1 sample: its unit slots and mode, its
// records repeated up to 1,000 stored records, and the count of the whole download, past which
// the memory reads as zeros (each still a record of 15 cells). The download is archived too, into
// an SQLite archive of its own, as every download is. The link is instant: only memory counts here.
//
// Run a Release build: cli_memory_bench [records]. The last line is "csv peak memory: N MB".

#include "ResidentSet.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int storedRecords = 1000;

bool writeImage(const QString &path, int records)
{
    QFile sample(QStringLiteral(LUMIVANE_SOURCE_DIR "/samples/meters/kind1.json"));
    if (!sample.open(QIODevice::ReadOnly))
        return false;
    QJsonObject image = QJsonDocument::fromJson(sample.readAll()).object();
    const QJsonArray sampleRecords = image.value(QStringLiteral("records")).toArray();
    if (sampleRecords.isEmpty())
        return false;
    QJsonArray stored;
    for (int j = 0; j < qMin(records, storedRecords); ++j)
        stored.append(sampleRecords.at(j % sampleRecords.size()));
    image.insert(QStringLiteral("records"), stored);
    image.insert(QStringLiteral("recordCount"), records);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(image).toJson()) > 0;
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
    if (!dir.isValid() || !writeImage(image, records)) {
        std::fprintf(stderr, "cannot write the meter image\n");
        return 1;
    }

    const QByteArray program = (QCoreApplication::applicationDirPath() + QStringLiteral("/lumivane-cli")).toLocal8Bit();
    qint64 peakBytes = 0;
    switch (
        ResidentSet::runChild({program, "-q", "--archive", dir.filePath(QStringLiteral("archive.sqlite")).toLocal8Bit(),
                               "--virtual-meter", image.toLocal8Bit(), "records", "-o", output.toLocal8Bit()},
                              peakBytes)) {
    case ResidentSet::ChildRun::Finished:
        break;
    case ResidentSet::ChildRun::NotStarted:
        std::fprintf(stderr, "cannot start %s\n", program.constData());
        return 1;
    case ResidentSet::ChildRun::Failed:
        std::fprintf(stderr, "lumivane-cli failed\n");
        return 1;
    }

    // Every CSV line ends with CR LF; line breaks inside the titles are bare LF.
    QFile csv(output);
    if (!csv.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "no CSV written\n");
        return 1;
    }
    qint64 lines = 0;
    const qint64 bytes = csv.size();
    while (!csv.atEnd())
        lines += csv.read(1 << 20).count("\r\n");
    if (lines != qint64(records) + 1) {
        std::fprintf(stderr, "the CSV has %lld lines, not %d\n", lines, records + 1);
        return 1;
    }
    std::printf("records: %d (kind 1, %d stored, the rest zeros); CSV %.1f MiB\n", records,
                qMin(records, storedRecords), bytes / 1048576.0);
    std::printf("csv peak memory: %lld MB\n", peakBytes / (1024 * 1024));
    return 0;
}
