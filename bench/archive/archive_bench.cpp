// SPDX-License-Identifier: GPL-3.0-or-later
// Stores a 10,000-record kind-4 download (196-byte records, 16-byte names, each record decoded
// into a JSON array of 16 values) into a fresh SQLite archive and compares the time with the
// time the USB link needs to deliver those records (3.16 ms each): archiving must stay a small
// part of a download. Then archives 10,000 small downloads and times listing them all, as the
// history window does when it opens. The machine is shared, so the best of three runs counts.
//
// Run a Release build: archive_bench. The lines "archive ratio: X" and "history open: N ms".

#include "MeasurementArchive.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

constexpr int records = 10000;
constexpr double linkMsPerRecord = 3.16;
constexpr int historyDownloads = 10000;
constexpr int runs = 3;

ArchiveEntry entry(qint32 serial, int count, const QDateTime &when)
{
    ArchiveEntry e;
    e.downloadedUtc = when;
    e.hostName = QStringLiteral("bench");
    e.programVersion = QStringLiteral("1.02");
    e.keyInfo = {0xA5, QDate(2024, 5, 17), quint32(serial), 0x8001, 0, 102};
    e.table = ArchivedTable::Spectra;
    e.uiIndex = 4;
    e.unitSlots = {1, 2, 3};
    e.recordCount = count;
    e.catalogs = QByteArrayLiteral(R"({"meter":[[32769,4,100]],"units":[[1,"lx"],[2,"K"],[3,"nm"]]})");
    e.titles = QByteArrayLiteral(
        R"(["No.","Name","Date","Time","E","Ev","x","y","u'","v'","CCT","Duv","Ra","R9","λp","Unit"])");
    return e;
}

ArchiveLocation sqliteFile(const QString &path)
{
    ArchiveLocation location;
    location.path = path;
    return location;
}

// Milliseconds that storing the whole download took, or a negative number on failure.
double storeOnce(const QList<QByteArray> &decoded)
{
    QTemporaryDir folder;
    MeasurementArchive archive(sqliteFile(folder.filePath(QStringLiteral("a.sqlite"))));
    if (!archive.open())
        return std::fprintf(stderr, "%s\n", qPrintable(archive.errorString())), -1;
    const QByteArray recordMemory(records * 196, '\x5a');
    const QByteArray nameMemory(records * 16, 'n');
    QElapsedTimer timer;
    timer.start();
    if (archive.store(entry(1234, records, QDateTime::currentDateTimeUtc()), recordMemory, nameMemory, decoded) == 0)
        return std::fprintf(stderr, "%s\n", qPrintable(archive.errorString())), -1;
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);

    QList<QByteArray> decoded;
    for (int i = 0; i < records; ++i)
        decoded << QStringLiteral("[%1,\"R%1\",\"2024-05-17\",\"10:30:15\",1523.5,1.523e-3,0.3127,0.329,0.1978,"
                                  "0.4683,6504,0.0032,97.2,88.1,\"555\",\"lx\"]")
                       .arg(i + 1)
                       .toUtf8();
    double best = std::numeric_limits<double>::max();
    for (int run = 0; run < runs; ++run) {
        const double ms = storeOnce(decoded);
        if (ms < 0)
            return 1;
        std::printf("store %d records: %.1f ms\n", records, ms);
        best = std::min(best, ms);
    }
    std::printf("archive ratio: %.4f\n", best / (records * linkMsPerRecord));

    QTemporaryDir folder;
    const ArchiveLocation location = sqliteFile(folder.filePath(QStringLiteral("history.sqlite")));
    {
        MeasurementArchive archive(location);
        if (!archive.open())
            return std::fprintf(stderr, "%s\n", qPrintable(archive.errorString())), 1;
        const QDateTime start = QDateTime::currentDateTimeUtc();
        const QList<QByteArray> small{QByteArrayLiteral("[1,\"R1\",1523.5]")};
        for (int i = 0; i < historyDownloads; ++i) {
            if (archive.store(entry(i % 50, 1, start.addSecs(i)), QByteArray(196, 'r'), QByteArray(16, 'n'), small)
                == 0)
                return std::fprintf(stderr, "%s\n", qPrintable(archive.errorString())), 1;
        }
    }
    best = std::numeric_limits<double>::max();
    for (int run = 0; run < runs; ++run) {
        MeasurementArchive archive(location);
        QList<ArchiveEntry> entries;
        if (!archive.open())
            return std::fprintf(stderr, "%s\n", qPrintable(archive.errorString())), 1;
        QElapsedTimer timer;
        timer.start();
        if (!archive.list({}, entries) || entries.size() != historyDownloads)
            return std::fprintf(stderr, "listed %lld: %s\n", qlonglong(entries.size()),
                                qPrintable(archive.errorString())),
                   1;
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    std::printf("history open: %.0f ms\n", best);
    return 0;
}
