// SPDX-License-Identifier: GPL-3.0-or-later
// A template.xls as fuzz input: the compound file (OleStorage::read), the BIFF8 workbook stream
// (BiffWorkbook::load, selectSheet), text cells written into it and the stream written back, and
// ExcelEngine opening the same bytes as ./template.xls and saving a table with it. What the engine
// writes must read back; the engine opens the template exactly when its first sheet can be edited.

#include "BiffWorkbook.h"
#include "ExcelEngine.h"
#include "ExportTable.h"
#include "FuzzSupport.h"
#include "OleStorage.h"

#include <QDir>
#include <QFile>

#include <glib.h>

namespace {

// Errors are one sentence, with at most a sheet name (255 characters) or a message of libgsf in it.
constexpr qsizetype errorBound = 600;

// Writes a title row and a data row into sheet `index` of a freshly loaded workbook; false when the
// sheet cannot be selected. Whatever comes out must load again with the cells in it.
bool editSheet(const QByteArray &stream, int index)
{
    QString error;
    std::unique_ptr<BiffWorkbook> book = BiffWorkbook::load(stream, &error);
    FUZZ_CHECK(book);
    if (!book->selectSheet(index, &error)) {
        FUZZ_CHECK(!error.isEmpty() && error.size() <= errorBound);
        return false;
    }
    const QString texts[] = {QStringLiteral("序号"), QStringLiteral("Lux"), QString(), QStringLiteral("12.50")};
    for (int row = 0; row < 2; ++row) {
        const BiffWorkbook::TextCell cells[] = {{0, &texts[2 * row]}, {1, &texts[2 * row + 1]}, {255, &texts[3]}};
        // A formula's anchor in the row or a template without a usable cell format refuses the row.
        if (!book->setRowTexts(row, cells, 3, &error))
            FUZZ_CHECK(!error.isEmpty() && error.size() <= errorBound);
    }
    const qsizetype cells = book->cells().cellCount();
    std::unique_ptr<BiffWorkbook> again = BiffWorkbook::load(book->write(), &error);
    FUZZ_CHECK(again && again->sheetCount() == book->sheetCount());
    FUZZ_CHECK(again->selectSheet(index, &error) && again->cells().cellCount() == cells);
    return true;
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::start(argc, argv);
    // libgsf complains on standard error about every broken block chain it meets.
    g_log_set_default_handler([](const gchar *, GLogLevelFlags, const gchar *, gpointer) {}, nullptr);
    // The engine reads ./template.xls from the working directory.
    FUZZ_CHECK(QDir::setCurrent(FuzzSupport::scratchDirectory()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(data), qsizetype(size));
    bool editable = false;
    OleStorage::Contents contents;
    QString error;
    if (!OleStorage::read(file, &contents, &error)) {
        FUZZ_CHECK(!error.isEmpty() && error.size() <= errorBound);
    } else if (const std::unique_ptr<BiffWorkbook> book = BiffWorkbook::load(contents.workbook, &error)) {
        // A BOUNDSHEET record takes 12 bytes at least.
        FUZZ_CHECK(book->sheetCount() >= 1 && book->sheetCount() <= contents.workbook.size() / 12);
        editable = editSheet(contents.workbook, 0);
        for (int index = 1; index < qMin(book->sheetCount(), 3); ++index)
            editSheet(contents.workbook, index);
    } else {
        FUZZ_CHECK(!error.isEmpty() && error.size() <= errorBound);
    }

    write(ExcelEngine::templatePath(), file);
    const QString saved = QDir::current().filePath(QStringLiteral("out.xls"));
    QFile::remove(saved);
    ExcelEngine engine(saved);
    const bool opened = engine.openWorkbook(1);
    FUZZ_CHECK(opened == editable);
    if (!opened) {
        FUZZ_CHECK(!engine.errorString().isEmpty() && engine.errorString().size() <= errorBound + 40);
        return 0;
    }
    ExportTable table(2, 3);
    for (int c = 0; c < 3; ++c) {
        table.setHeaderText(c, QStringLiteral("title %1").arg(c));
        table.setCellText(1, c, QString::number(c * 1.5, 'f', 2));
    }
    if (!engine.writeTable(table, nullptr)) {
        // A refused table writes no file.
        FUZZ_CHECK(!engine.errorString().isEmpty() && !QFile::exists(saved));
        return 0;
    }
    engine.closeWorkbook();
    QFile out(saved);
    FUZZ_CHECK(out.open(QIODevice::ReadOnly));
    OleStorage::Contents written;
    FUZZ_CHECK(OleStorage::read(out.readAll(), &written, &error));
    const std::unique_ptr<BiffWorkbook> book = BiffWorkbook::load(written.workbook, &error);
    FUZZ_CHECK(book && book->selectSheet(0, &error));
    return 0;
}
