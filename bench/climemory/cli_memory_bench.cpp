// SPDX-License-Identifier: GPL-3.0-or-later
// Runs lumivane-cli beside this program on a virtual meter holding 500,000 kind-1 records and
// writes them to CSV, then to a JSON document, and reports the program's peak resident set
// (wait4's maximum resident set size) for each. The meter image is built here from the kind-1 sample: its unit slots
// and mode, its records repeated up to 1,000 stored records, and the count of the whole download, past which the memory
// reads as zeros (each still a record of 15 cells). The download is archived too, into an SQLite archive of its own, as
// every download is. The link is instant: only memory counts here.
//
// Run a Release build: cli_memory_bench [records]. The last lines are "csv peak memory: N MB" and
// "json peak memory: N MB".

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
    // One run writing the records to output; false with the reason told.
    const auto runTo = [&](const QString &output, qint64 &peakBytes) {
        switch (ResidentSet::runChild({program, "-q", "--archive",
                                       dir.filePath(QStringLiteral("archive.sqlite")).toLocal8Bit(), "--virtual-meter",
                                       image.toLocal8Bit(), "records", "-o", output.toLocal8Bit()},
                                      peakBytes)) {
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
    QFile::remove(output);

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
                qMin(records, storedRecords), csvBytes / 1048576.0, jsonBytes / 1048576.0);
    std::printf("csv peak memory: %lld MB\n", csvPeak / (1024 * 1024));
    std::printf("json peak memory: %lld MB\n", jsonPeak / (1024 * 1024));
    return 0;
}
