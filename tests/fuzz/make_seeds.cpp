// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the generated seed corpora of the fuzz targets into OUTDIR/<target>/:
//   fuzz_meterreplies    the replies the virtual meter gives to identification and a download of
//                        each sample meter (one also with stray bytes, split and foreign reports);
//   fuzz_recorddecoding  each sample meter's unit slots, names and records;
//   fuzz_xlstemplate     small workbooks of the engine and the office template of tests/export.
// Usage: fuzz_make_seeds OUTDIR (from the source tree: tests/fuzz/corpus). Not run by the tests.

#include "CLinkerUSB.h"
#include "CatalogLoader.h"
#include "EmptyWorkbook.h"
#include "ExcelEngine.h"
#include "ExportTable.h"
#include "MeterFlow.h"
#include "MeterProtocol.h"
#include "MeterTransactions.h"
#include "OleStorage.h"
#include "TestTemplates.h"
#include "VirtualMeter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Plays a virtual meter and keeps every reply as the fuzz target's input wants it: a report
// count and the reports, padded to 64 bytes.
class RecordingTransport final : public HidReportTransport
{
public:
    RecordingTransport(VirtualMeter &meter, QByteArray &replies) : meter(meter), replies(replies) {}
    QList<HidInterfaceInfo> enumerate(quint16, quint16) override { return {HidInterfaceInfo{"seed", "1", 0}}; }
    HidOpenResult open(const QString &) override { return HidOpenResult::Opened; }
    void close() override {}
    bool isOpen() const override { return true; }
    int writeReport(const quint8 *report, int length, int) override
    {
        meter.receiveOutputReport(QByteArray(reinterpret_cast<const char *>(report), length));
        pending = meter.takeInputReports();
        replies.append(char(pending.size()));
        for (QByteArray reply : std::as_const(pending))
            replies.append(reply.leftJustified(ReportLength, '\0'));
        return length;
    }
    int readReport(quint8 *buffer, int capacity, int) override
    {
        if (pending.isEmpty())
            return 0;
        const QByteArray report = pending.takeFirst();
        const int length = int(qMin<qsizetype>(capacity, report.size()));
        memcpy(buffer, report.constData(), size_t(length));
        return length;
    }
    bool isDeviceGone() const override { return false; }
    bool isSharedDevice() const override { return false; }

private:
    VirtualMeter &meter;
    QByteArray &replies;
    QList<QByteArray> pending;
};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// The replies of identification and a download (flow bits 0x10), or of identification alone.
QByteArray meterReplies(const MeterImage &image, quint8 setUp)
{
    VirtualMeter meter(image);
    QByteArray input(1, char(setUp));
    input.append('\0'); // never cancel
    CLinkerUSB link(std::make_unique<RecordingTransport>(meter, input));
    link.open(MeterFacts::VendorId, MeterFacts::ProductId);
    MeterTransactions transactions(&link);
    MeterProtocol protocol(transactions);
    MeterState state;
    MeterFlow flow(protocol, state);
    MeterCatalog catalog;
    CatalogLoader::loadMeterCatalog(QStringLiteral(LUMIVANE_SOURCE_DIR "/catalog/files"), catalog);
    KeyInfo keyInfo;
    MeterFlow::Download download;
    if (flow.identify(catalog, keyInfo) != MeterFlow::Done
        || ((setUp & 0x30) == 0x10
            && flow.download((setUp & 0x08) ? MeterFlow::Spectra : MeterFlow::Records, download, nullptr)
                   != MeterFlow::Done))
        qFatal("the sample meter did not answer");
    return input;
}

// Kind and language, mode, count, name memory length, 60 unit slots, names, records.
QByteArray recordMemory(const MeterImage &image, int uiIndex)
{
    QByteArray input(1, char(uiIndex | 0x08));
    for (quint32 v : {quint32(image.mode), quint32(image.mode) >> 8})
        input.append(char(v));
    for (int shift = 0; shift < 32; shift += 8)
        input.append(char(image.recordCount >> shift));
    input.append(char(image.nameMemory.size() & 0xFF)).append(char(image.nameMemory.size() >> 8));
    for (quint16 slot : image.unitSlots)
        input.append(char(slot));
    return input + image.nameMemory + image.recordMemory;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        qFatal("usage: fuzz_make_seeds OUTDIR");
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (const char *target : {"fuzz_meterreplies", "fuzz_recorddecoding", "fuzz_xlstemplate"})
        out.mkpath(QLatin1String(target));

    const QDir samples(QStringLiteral(LUMIVANE_SOURCE_DIR "/samples/meters"));
    for (const QFileInfo &file : samples.entryInfoList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        MeterImage image;
        QString error;
        if (!MeterImage::fromFile(file.filePath(), image, error))
            qFatal("%s", qPrintable(error));
        const int uiIndex = int(image.modelCode / 1000);
        const QString name = file.completeBaseName();
        writeFile(out.filePath(QStringLiteral("fuzz_meterreplies/") + name), meterReplies(image, 0x10));
        writeFile(out.filePath(QStringLiteral("fuzz_recorddecoding/") + name), recordMemory(image, uiIndex));
        if (name == QLatin1String("kind6")) // the command line's download, streamed behind a count check
            writeFile(out.filePath(QStringLiteral("fuzz_meterreplies/kind6-streamed")), meterReplies(image, 0x90));
        if (name == QLatin1String("kind4")) {
            writeFile(out.filePath(QStringLiteral("fuzz_meterreplies/kind4-spectra")), meterReplies(image, 0x18));
            writeFile(out.filePath(QStringLiteral("fuzz_meterreplies/kind4-identify")), meterReplies(image, 0x00));
        }
        if (name == QLatin1String("kind1")) {
            image.faults.strayRequests = {1, 4};
            image.faults.strayBytes = QByteArray::fromHex("0012");
            image.faults.splitRequests = {2, 5};
            image.faults.splitPayload = 7;
            image.faults.foreignRequests = {3, 6};
            writeFile(out.filePath(QStringLiteral("fuzz_meterreplies/kind1-faults")), meterReplies(image, 0x10));
        }
    }

    // Small workbooks: the new workbook with a table as the engine writes it, and two empty sheets
    // beside a storage with a class id. (The test templates of tests/export are 64 KiB.)
    {
        ExcelEngine engine(out.filePath(QStringLiteral("fuzz_xlstemplate/engine.xls")));
        const ExportTable table = ExportTable::fromTexts({QStringLiteral("序号"), QStringLiteral("Lux")},
                                                         {{QStringLiteral("1"), QStringLiteral("12.5")}}, 2);
        if (!engine.openWorkbook(1) || !engine.writeTable(table, nullptr))
            qFatal("%s", qPrintable(engine.errorString()));
    }
    OleEntry root{QByteArray(), true, QByteArray(), QByteArray(), {}};
    root.children.push_back({TestTemplates::storageName(), true, TestTemplates::storageClassId(), QByteArray(), {}});
    QByteArray twoSheets;
    QString error;
    if (!OleStorage::write(EmptyWorkbook::stream({QStringLiteral("Sheet1"), QStringLiteral("数据")}), root, &twoSheets,
                           &error))
        qFatal("%s", qPrintable(error));
    writeFile(out.filePath(QStringLiteral("fuzz_xlstemplate/two-sheets.xls")), twoSheets);
    QFile::copy(QStringLiteral(LUMIVANE_SOURCE_DIR "/tests/export/data/office-template.xls"),
                out.filePath(QStringLiteral("fuzz_xlstemplate/office-template.xls")));
    return 0;
}
