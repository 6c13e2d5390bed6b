// SPDX-License-Identifier: GPL-3.0-or-later
// Runs lumivane-cli beside this program on a virtual meter holding 65,535 kind-1 records (the most
// a meter stores) and writes their report (records and spectra), then the reports of the two
// archived downloads again (export 1, the records; export 2, the spectra), and reports the
// program's peak resident set (wait4's maximum resident set size) for each. The meter image is
// BenchMeterImage's; the link is instant: only memory counts here.
//
// Run a Release build: report_memory_bench [records]. The last lines are "report peak memory: N MB",
// "export records peak memory: N MB" and "export spectra peak memory: N MB".

#include "BenchMeterImage.h"
#include "ResidentSet.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? QByteArray(argv[1]).toInt() : 65535;
    if (records <= 0) {
        std::fprintf(stderr, "usage: report_memory_bench [records]\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString image = dir.filePath(QStringLiteral("meter.json"));
    if (!dir.isValid() || !BenchMeterImage::writeKind1(image, records)) {
        std::fprintf(stderr, "cannot write the meter image\n");
        return 1;
    }
    const QByteArray program = (QCoreApplication::applicationDirPath() + QStringLiteral("/lumivane-cli")).toLocal8Bit();
    const QByteArray archive = dir.filePath(QStringLiteral("archive.sqlite")).toLocal8Bit();
    // One run with the arguments, its peak and the size of the report it wrote; false when it failed.
    const auto run = [&](const QList<QByteArray> &arguments, const QString &report, qint64 &peakBytes) {
        const QList<QByteArray> command = QList<QByteArray>{program, "-q", "--archive", archive} + arguments
                                          + QList<QByteArray>{"-o", report.toLocal8Bit()};
        if (ResidentSet::runChild(command, peakBytes) != ResidentSet::ChildRun::Finished) {
            std::fprintf(stderr, "lumivane-cli %s failed\n", arguments.join(' ').constData());
            return false;
        }
        std::printf("%s: %.1f MiB\n", arguments.join(' ').constData(), QFileInfo(report).size() / 1048576.0);
        return true;
    };
    qint64 reportPeak = 0;
    qint64 recordsPeak = 0;
    qint64 spectraPeak = 0;
    if (!run({"--virtual-meter", image.toLocal8Bit(), "report"}, dir.filePath(QStringLiteral("report.pdf")), reportPeak)
        || !run({"export", "1"}, dir.filePath(QStringLiteral("records.pdf")), recordsPeak)
        || !run({"export", "2"}, dir.filePath(QStringLiteral("spectra.pdf")), spectraPeak))
        return 1;
    std::printf("records: %d (kind 1, %d stored, the rest zeros)\n", records,
                qMin(records, BenchMeterImage::StoredRecords));
    std::printf("report peak memory: %lld MB\n", reportPeak / (1024 * 1024));
    std::printf("export records peak memory: %lld MB\n", recordsPeak / (1024 * 1024));
    std::printf("export spectra peak memory: %lld MB\n", spectraPeak / (1024 * 1024));
    return 0;
}
