// SPDX-License-Identifier: GPL-3.0-or-later
// A meter image (the virtual meter's JSON) as fuzz input, through MeterImage::fromJson, the entry
// point of MeterImage::fromFile after the file is read. An image either loads whole, or fails with
// an error that names the key at fault (or says the text is no JSON object) in one short line.

#include "FuzzSupport.h"
#include "MeterImage.h"

namespace {

// What an error starts with: a key of the image, a fault's key, or the complaint about the whole text.
bool namesKeyOrText(const QString &error)
{
    static const QStringList starts{QStringLiteral("modelCode:"),
                                    QStringLiteral("unitSlots"),
                                    QStringLiteral("serialNo:"),
                                    QStringLiteral("firmwareVersion:"),
                                    QStringLiteral("date:"),
                                    QStringLiteral("marker:"),
                                    QStringLiteral("extraWord:"),
                                    QStringLiteral("mode:"),
                                    QStringLiteral("records"),
                                    QStringLiteral("names"),
                                    QStringLiteral("recordCount:"),
                                    QStringLiteral("faults"),
                                    QStringLiteral("not valid JSON at"),
                                    QStringLiteral("the image must be")};
    for (const QString &start : starts)
        if (error.startsWith(start))
            return true;
    return error.endsWith(QLatin1String(": unknown key"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::start(argc, argv);
    // A file that cannot be read is named in the error.
    MeterImage image;
    QString error;
    const QString missing = QStringLiteral("/nonexistent/fuzz-meter.json");
    FUZZ_CHECK(!MeterImage::fromFile(missing, image, error) && error.startsWith(missing));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray json = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    MeterImage image;
    QString error;
    if (!MeterImage::fromJson(json, image, error)) {
        FUZZ_CHECK(!error.isEmpty() && namesKeyOrText(error));
        // One short line, whatever the image holds: a key from the image is quoted cut short.
        FUZZ_CHECK(error.size() <= 160 && !error.contains(QLatin1Char('\n')));
        return 0;
    }
    FUZZ_CHECK(error.isEmpty());
    FUZZ_CHECK(image.unitSlots.size() == MeterImage::UnitSlotCount);
    // Memory comes as hexadecimal text: two input bytes at least per memory byte.
    FUZZ_CHECK(image.recordMemory.size() % MeterImage::RecordBytes == 0
               && size_t(image.recordMemory.size()) * 2 <= size);
    FUZZ_CHECK(image.nameMemory.size() % MeterImage::NameSlotBytes == 0 && size_t(image.nameMemory.size()) * 2 <= size);
    FUZZ_CHECK(image.faults.splitPayload >= 1 && image.faults.splitPayload <= MeterFacts::MaxPayload);
    FUZZ_CHECK(image.faults.foreignReportId != MeterFacts::ReportId);
    FUZZ_CHECK(image.faults.strayBytes.size() <= 256 && image.faults.headerBytes.size() <= 256);
    FUZZ_CHECK(image.date.isValid());
    return 0;
}
