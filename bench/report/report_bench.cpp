// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the PDF report of 2,000 kind-1 records with their spectra, as lumivane-cli report does
// after its downloads: the records table and the spectral table filled from the downloaded memory,
// the colour of every record, the pages laid out and written beside the target. The time is
// compared with the time the USB link needs to deliver the records twice (the records, then the
// spectra): 196 bytes per record at 62 payload bytes per millisecond, 3.16 ms per record each
// time. The meter is the virtual one (the kind-1 sample's records repeated); the downloads are not
// timed. The machine is shared, so the best of three runs counts.
//
// Run a Release build: report_bench [records] [copy.pdf]; the report is copied to copy.pdf when one
// is named, to be looked at. The last lines are "file size per page: N KB" and
// "report ratio: X.XXX".

#include "CatalogLoader.h"
#include "DownloadTables.h"
#include "MeterFacts.h"
#include "MeterImage.h"
#include "MeterSession.h"
#include "PdfReport.h"
#include "ReportContent.h"
#include "ReportLayout.h"
#include "VirtualMeterTransport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {

constexpr double linkMsPerRecord = double(MeterFacts::RecordSize) / MeterFacts::MaxPayload;
constexpr int runs = 3;

struct Downloaded
{
    DownloadOrigin origin;
    MeterFlow::Download memory;
};

// Identifies the virtual meter and downloads one purpose, as the command line does.
bool download(const MeterImage &image, MeterFlow::Purpose purpose, Downloaded &out)
{
    const QString catalogs = QStringLiteral(LUMIVANE_SOURCE_DIR "/catalog/files");
    MeterCatalog meterCatalog;
    CatalogLoader::loadMeterCatalog(catalogs, meterCatalog);
    CatalogLoader::loadUnitCatalog(catalogs, out.origin.unitCatalog);
    MeterSession session;
    if (!session.openUsb(std::make_unique<VirtualMeterTransport>(image)))
        return false;
    MeterFlow identifying(session.protocol(), out.origin.state);
    if (identifying.identify(meterCatalog, out.origin.keyInfo) != MeterFlow::Done)
        return false;
    MeterFlow flow(session.protocol(), out.origin.state);
    if (purpose == MeterFlow::Spectra && flow.readSlotsAndMode() != MeterFlow::Done)
        return false;
    out.origin.purpose = purpose;
    out.origin.downloaded = QDateTime::currentDateTime();
    return flow.download(purpose, out.memory, nullptr) == MeterFlow::Done;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int records = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;

    MeterImage image;
    QString error;
    if (!MeterImage::fromFile(QStringLiteral(LUMIVANE_SOURCE_DIR "/samples/meters/kind1.json"), image, error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const QByteArray sampleRecords = image.recordMemory;
    const int samples = int(sampleRecords.size() / MeterFacts::RecordSize);
    image.recordMemory.clear();
    for (int k = 0; k < records; ++k)
        image.recordMemory += sampleRecords.mid(qsizetype(k % samples) * MeterFacts::RecordSize, MeterFacts::RecordSize);
    image.recordCount = quint32(records);

    Downloaded recordsDownload, spectraDownload;
    if (!download(image, MeterFlow::Records, recordsDownload) || !download(image, MeterFlow::Spectra, spectraDownload)) {
        std::fprintf(stderr, "the virtual meter could not be downloaded\n");
        return 1;
    }
    const auto wholeOf = [](const MeterFlow::Download &whole) {
        return [&whole](qint64 first, int count, MeterFlow::Download &batch, QString &) {
            return DownloadTables::slice(whole, first, count, batch);
        };
    };

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("report.pdf"));
    qint64 best = -1;
    double bestCpuMs = -1;
    int pages = 0;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const std::clock_t cpuStart = std::clock();
        DownloadTables recordTables(recordsDownload.origin, false);
        DownloadTables spectralTables(spectraDownload.origin, false, DownloadTables::ColourTable);
        if (!recordTables.load(0, records, wholeOf(recordsDownload.memory), error)
            || !spectralTables.load(0, records, wholeOf(spectraDownload.memory), error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        ReportContent content;
        content.details.chinese = false;
        content.setMeterFacts(recordTables.meterSheet(records));
        content.addRecords(*recordTables.recordsModel());
        content.addSpectral(*spectralTables.spectraModel(), *spectralTables.coloursModel());
        if (!PdfReport::write(file, content, [&pages](int, int all) { return (pages = all) > 0; }, error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        const qint64 elapsed = timer.nsecsElapsed();
        // On a shared machine the wall clock also counts other programs' turns; the processor
        // time of this one is printed beside it.
        const double cpuMs = double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC;
        best = best < 0 ? elapsed : std::min(best, elapsed);
        bestCpuMs = bestCpuMs < 0 ? cpuMs : std::min(bestCpuMs, cpuMs);
        std::printf("run %d: %.1f ms (processor time %.1f ms)\n", run + 1, elapsed / 1e6, cpuMs);
    }
    if (argc > 2) {
        QFile::remove(QString::fromLocal8Bit(argv[2]));
        QFile::copy(file, QString::fromLocal8Bit(argv[2]));
    }
    const double linkMs = 2 * records * linkMsPerRecord;
    const qint64 size = QFileInfo(file).size();
    std::printf("records: %d, pages: %d, file: %lld KB\n", records, pages, size / 1024);
    std::printf("link time (records and spectra): %.1f ms\n", linkMs);
    std::printf("file size per page: %.1f KB\n", double(size) / 1024 / std::max(1, pages));
    std::printf("report ratio of processor time: %.4f\n", bestCpuMs / linkMs);
    std::printf("report ratio: %.4f\n", best / 1e6 / linkMs);
    return 0;
}
