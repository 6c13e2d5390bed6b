// SPDX-License-Identifier: GPL-3.0-or-later
#include "Batches.h"
#include "ExcelEngine.h"
#include "ExportTable.h"
#include "FileReplacement.h"
#include "RecordingProgress.h"
#include "WorkbookReader.h"
#include "WorkbookStreamCheck.h"

#include <QtTest>

#include <memory>
#include <unistd.h>

namespace {

QByteArray fileBytes(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

ExportTable table(int rows, int columns, bool headers)
{
    ExportTable t(rows, columns);
    for (int c = 0; c < columns && headers; ++c)
        t.setHeaderText(c, QStringLiteral("H%1").arg(c + 1));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            t.setCellText(r, c, QStringLiteral("r%1c%2").arg(r + 1).arg(c + 1));
    return t;
}

} // namespace

// The workbook engine without a template: what it writes, as xlrd reads it back, and what it
// refuses without touching the target.
class TestExcelEngine : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString previousDir;

    QString path(const QString &name) const { return dir->filePath(name); }

    // Runs the export's calling order; returns the file's path on success.
    bool exportTable(const QString &fileName, const ExportTable &t, ExportProgress *progress = nullptr)
    {
        ExcelEngine engine(fileName);
        if (!engine.openWorkbook(1) || !engine.writeTable(t, progress) || !engine.saveWorkbookAs(fileName))
            return false;
        engine.closeWorkbook();
        return true;
    }

    static QStringList folderEntries(const QString &folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private Q_SLOTS:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        previousDir = QDir::currentPath();
        // "./template.xls" is looked up in the working directory; this one has none.
        QVERIFY(QDir::setCurrent(dir->path()));
    }

    void cleanup()
    {
        QDir::setCurrent(previousDir);
        QFile::setPermissions(dir->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        dir.reset();
    }

    void freshWorkbookReadsBack()
    {
        const QString longText = QStringLiteral("长").repeated(20000);
        ExportTable t(4, 5);
        t.setHeaderText(0, QStringLiteral("名称"));
        t.setHeaderText(1, QStringLiteral("照度\n(Lux)"));
        t.setHeaderText(2, QStringLiteral("Température"));
        t.setHeaderText(4, QString());
        const QStringList row0 = {QStringLiteral("测试一"), QStringLiteral("0001"), QStringLiteral("12.50"),
                                  QStringLiteral("----"), QStringLiteral("无频闪")};
        for (int c = 0; c < 5; ++c)
            t.setCellText(0, c, row0.at(c));
        t.setCellText(1, 0, QStringLiteral("0001")); // the same text again: one shared string
        t.setCellText(1, 1, QString());              // an empty item: blank but centred
        t.setCellText(2, 3, longText);
        t.setCellText(3, 4, QStringLiteral("1E5"));
        const QString file = path(QStringLiteral("fresh.xls"));
        RecordingProgress progress;
        QVERIFY(exportTable(file, t, &progress));
        QCOMPARE(progress.values, (QList<int>{1, 2, 3, 4}));

        const QString problem = WorkbookStreamCheck::checkFile(file);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        WorkbookReader xlrd;
        QVERIFY2(xlrd.read(file), qPrintable(xlrd.error()));
        QCOMPARE(xlrd.sheets().size(), 1);
        const WorkbookReader::Sheet &sheet = xlrd.sheet(0);
        QCOMPARE(sheet.name, QStringLiteral("Sheet1"));
        QCOMPARE(sheet.rows, 5);
        QCOMPARE(sheet.columns, 5);
        QCOMPARE(sheet.text(0, 0), QStringLiteral("名称"));
        QCOMPARE(sheet.text(0, 1), QStringLiteral("照度\n(Lux)"));
        QCOMPARE(sheet.text(0, 2), QStringLiteral("Température"));
        QVERIFY(!sheet.has(0, 3));          // no title given: nothing written
        QCOMPARE(sheet.cell(0, 4).type, 6); // an empty title: a blank cell
        for (int c = 0; c < 5; ++c) {
            QCOMPARE(sheet.cell(1, c).type, 1); // numbers stay text
            QCOMPARE(sheet.text(1, c), row0.at(c));
        }
        QCOMPARE(sheet.text(2, 0), QStringLiteral("0001"));
        QCOMPARE(sheet.cell(2, 1).type, 6);
        QVERIFY(!sheet.has(2, 2));
        QCOMPARE(sheet.text(3, 3), longText);
        QCOMPARE(sheet.text(4, 4), QStringLiteral("1E5"));
        for (auto it = sheet.cells.cbegin(); it != sheet.cells.cend(); ++it)
            QVERIFY2(it.value().horizontalAlignment == 2,
                     qPrintable(QStringLiteral("cell %1,%2 not centred").arg(it.key().first).arg(it.key().second)));
        QCOMPARE(sheet.cells.size(), 13);
    }

    void noHeaderItemsWritesNoRowOne()
    {
        const QString file = path(QStringLiteral("noheader.xls"));
        QVERIFY(exportTable(file, table(2, 3, false)));
        WorkbookReader xlrd;
        QVERIFY2(xlrd.read(file), qPrintable(xlrd.error()));
        const WorkbookReader::Sheet &sheet = xlrd.sheet(0);
        for (int c = 0; c < 3; ++c)
            QVERIFY(!sheet.has(0, c));
        QCOMPARE(sheet.text(1, 0), QStringLiteral("r1c1"));
        QCOMPARE(sheet.text(2, 2), QStringLiteral("r2c3"));
        QCOMPARE(sheet.rows, 3);
    }

    void cancelSavesNothing()
    {
        // The cancel drops the workbook: nothing reaches the target, not even by a later save.
        const QString file = path(QStringLiteral("cancel.xls"));
        writeFile(file, "an earlier export");
        RecordingProgress progress(1);
        ExcelEngine engine(file);
        QVERIFY(engine.openWorkbook(1));
        QVERIFY(!engine.writeTable(table(5, 2, true), &progress));
        QVERIFY(engine.wasCancelled());
        QCOMPARE(progress.values, QList<int>{1});
        QTest::ignoreMessage(QtWarningMsg, "ExcelEngine: no workbook open");
        QVERIFY(!engine.saveWorkbookAs(file));
        QCOMPARE(folderEntries(dir->path()), QStringList{QStringLiteral("cancel.xls")});
        QCOMPARE(fileBytes(file), QByteArray("an earlier export"));
    }

    void sheetLimits_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("textLength");
        QTest::addColumn<bool>("fits");
        QTest::newRow("65,535 data rows") << 65535 << 1 << 1 << true;
        QTest::newRow("65,536 data rows") << 65536 << 1 << 1 << false;
        QTest::newRow("256 columns") << 1 << 256 << 1 << true;
        QTest::newRow("257 columns") << 1 << 257 << 1 << false;
        QTest::newRow("32,767 characters") << 1 << 1 << 32767 << true;
        QTest::newRow("32,768 characters") << 1 << 1 << 32768 << false;
    }

    void sheetLimits()
    {
        QFETCH(int, rows);
        QFETCH(int, columns);
        QFETCH(int, textLength);
        QFETCH(bool, fits);
        ExportTable t(rows, columns);
        t.setHeaderText(columns - 1, QStringLiteral("last"));
        t.setCellText(0, 0, QStringLiteral("first"));
        t.setCellText(rows - 1, columns - 1, QString(textLength, QLatin1Char('x')));
        // An existing workbook at the target must survive a table that does not fit.
        const QString file = path(QStringLiteral("limits.xls"));
        writeFile(file, "previous workbook");
        QCOMPARE(exportTable(file, t), fits);
        if (!fits) {
            QCOMPARE(fileBytes(file), QByteArray("previous workbook"));
            QCOMPARE(folderEntries(dir->path()), QStringList{QStringLiteral("limits.xls")});
            return;
        }
        WorkbookReader xlrd;
        QVERIFY2(xlrd.read(file), qPrintable(xlrd.error()));
        QCOMPARE(xlrd.sheet(0).rows, rows + 1);
        QCOMPARE(xlrd.sheet(0).columns, columns);
        QCOMPARE(xlrd.sheet(0).text(0, columns - 1), QStringLiteral("last"));
        QCOMPARE(xlrd.sheet(0).text(rows, columns - 1).size(), textLength);
    }

    void manyLongStringsReadBack()
    {
        // Enough unique and long texts for dozens of CONTINUE records and a full EXTSST.
        ExportTable t(600, 6);
        for (int r = 0; r < 600; ++r)
            for (int c = 0; c < 6; ++c)
                t.setCellText(r, c,
                              (c % 2 ? QStringLiteral("光谱%1-%2 ") : QStringLiteral("value %1/%2 "))
                                  .arg(r)
                                  .arg(c)
                                  .repeated(1 + (r * 7 + c) % 23));
        const QString file = path(QStringLiteral("many.xls"));
        QVERIFY(exportTable(file, t));
        const QString problem = WorkbookStreamCheck::checkFile(file);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        WorkbookReader xlrd;
        QVERIFY2(xlrd.read(file), qPrintable(xlrd.error()));
        for (int r = 0; r < 600; ++r)
            for (int c = 0; c < 6; ++c)
                QCOMPARE(xlrd.sheet(0).text(r + 1, c), t.cellText(r, c));
    }

    void replacingKeepsPermissionsAndLeavesNoTemporaryFile()
    {
        const QString file = path(QStringLiteral("existing.xls"));
        writeFile(file, "old");
        QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
        QVERIFY(exportTable(file, table(1, 1, true)));
        QVERIFY(fileBytes(file).startsWith(QByteArray::fromHex("d0cf11e0a1b11ae1")));
        const auto modeBits = QFileDevice::Permissions(0x7077); // owner, group, others
        QCOMPARE(QFileInfo(file).permissions() & modeBits,
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
        QCOMPARE(folderEntries(dir->path()), QStringList{QStringLiteral("existing.xls")});
    }

    void canReplaceFile_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("replaceable");
        QTest::newRow("no file yet") << "none" << true;
        QTest::newRow("ordinary file") << "file" << true;
        QTest::newRow("read-only file") << "readonly" << false;
        QTest::newRow("open in an office suite") << "lockfile" << false;
        QTest::newRow("a folder of that name") << "folder" << false;
    }

    void canReplaceFile()
    {
        QFETCH(QString, setup);
        QFETCH(bool, replaceable);
        const QString file = path(QStringLiteral("target.xls"));
        if (setup != QLatin1String("none") && setup != QLatin1String("folder"))
            writeFile(file, "previous workbook");
        if (setup == QLatin1String("readonly"))
            QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        if (setup == QLatin1String("lockfile"))
            writeFile(path(QStringLiteral(".~lock.target.xls#")), "user,host,2024");
        if (setup == QLatin1String("folder"))
            QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("target.xls")));
        QCOMPARE(FileReplacement::canReplace(file), replaceable);

        // The engine refuses what cannot be replaced and leaves it as it was.
        ExcelEngine engine(file);
        QCOMPARE(engine.openWorkbook(1), replaceable);
        if (replaceable) {
            QVERIFY(engine.writeTable(table(1, 1, false), nullptr));
        } else if (setup != QLatin1String("folder")) {
            QCOMPARE(fileBytes(file), QByteArray("previous workbook"));
        }
    }

    // An output that names a kept file (the archive, the meter image) in any spelling, or a file
    // SQLite keeps beside it, is caught whether or not the kept file exists yet.
    void wouldReplace_data()
    {
        QTest::addColumn<QString>("output"); // relative to the test folder
        QTest::addColumn<bool>("keptExists");
        QTest::addColumn<bool>("replaces");
        for (const bool exists : {true, false}) {
            const char *state = exists ? "existing" : "new";
            QTest::addRow("the file, %s", state) << "a.sqlite" << exists << true;
            QTest::addRow("through the folder link, %s", state) << "link/a.sqlite" << exists << true;
            QTest::addRow("with dots, %s", state) << "sub/../a.sqlite" << exists << true;
            QTest::addRow("its -wal, %s", state) << "a.sqlite-wal" << exists << true;
            QTest::addRow("its -shm, %s", state) << "link/a.sqlite-shm" << exists << true;
            QTest::addRow("its -journal, %s", state) << "a.sqlite-journal" << exists << true;
            QTest::addRow("another file, %s", state) << "b.sqlite" << exists << false;
            QTest::addRow("a longer name, %s", state) << "a.sqlite-walx" << exists << false;
        }
        QTest::newRow("a link to the file") << "file-link" << true << true;
        QTest::newRow("a hard link to the file") << "hard-link" << true << true;
    }

    void wouldReplace()
    {
        QFETCH(QString, output);
        QFETCH(bool, keptExists);
        QFETCH(bool, replaces);
        QDir folder(path(QStringLiteral("kept")));
        QVERIFY(folder.mkpath(QStringLiteral("sub")));
        const QString kept = folder.filePath(QStringLiteral("a.sqlite"));
        if (keptExists) {
            writeFile(kept, "SQLite format 3");
            QVERIFY(QFile::link(kept, folder.filePath(QStringLiteral("file-link"))));
            QCOMPARE(::link(QFile::encodeName(kept).constData(),
                            QFile::encodeName(folder.filePath(QStringLiteral("hard-link"))).constData()),
                     0);
        }
        QVERIFY(QFile::link(folder.path(), folder.filePath(QStringLiteral("sub/link"))));
        // The output is named from the sub-folder, the kept file from its own folder.
        const QString named = output.startsWith(QLatin1String("link")) ? QStringLiteral("sub/") + output : output;
        QCOMPARE(FileReplacement::wouldReplace(folder.filePath(named), kept), replaces);
        QVERIFY(folder.removeRecursively());
    }

    // The batches a table is written in cover every row once, in order; a table without rows
    // still gets one empty batch for its titles.
    void batchesCoverTheTable_data()
    {
        QTest::addColumn<qint64>("rows");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("batches"); // first+count ...
        QTest::newRow("no rows") << qint64(0) << 4 << "0+0";
        QTest::newRow("one row") << qint64(1) << 4 << "0+1";
        QTest::newRow("one full batch") << qint64(4) << 4 << "0+4";
        QTest::newRow("one more") << qint64(5) << 4 << "0+4 4+1";
        QTest::newRow("several") << qint64(10) << 4 << "0+4 4+4 8+2";
        QTest::newRow("past 32 bits") << qint64(5000000000) << 2000000000 << "0+2000000000 2000000000+2000000000 4000000000+1000000000";
    }

    void batchesCoverTheTable()
    {
        QFETCH(qint64, rows);
        QFETCH(int, size);
        QFETCH(QString, batches);
        QStringList got;
        for (const Batches::Batch batch : Batches(rows, size))
            got << QStringLiteral("%1+%2").arg(batch.first).arg(batch.count);
        QCOMPARE(got.join(' '), batches);
    }

    void prepareFileNeedsAFolder()
    {
        ExcelEngine engine(path(QStringLiteral("missing/sub/out.xls")));
        QCOMPARE(FileReplacement::readiness(engine.fileName()), FileReplacement::FolderNotWritable);
        QVERIFY(!engine.openWorkbook(1));
        QVERIFY(!engine.isOpen());
        ExcelEngine unnamed{QString()};
        QVERIFY(!unnamed.openWorkbook(1));
    }

    void closingDiscardsWhatWasNotSaved()
    {
        const QString file = path(QStringLiteral("discard.xls"));
        {
            ExcelEngine engine(file);
            QVERIFY(engine.openWorkbook(1));
            QVERIFY(engine.setCellValue(1, 1, QStringLiteral("unsaved")));
            engine.closeWorkbook();
            QVERIFY(!engine.isOpen());
            QVERIFY(!engine.setCellValue(1, 1, QStringLiteral("closed")));
            QVERIFY(!engine.saveWorkbook());
            QVERIFY(engine.openWorkbook(1));
            QVERIFY(engine.setCellValue(2, 2, QStringLiteral("also unsaved")));
        } // destroyed while open
        QVERIFY(!QFileInfo::exists(file));
    }

    void setCellValue_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("written");
        QTest::addColumn<QString>("text");
        QTest::newRow("number given as a number") << 3 << 2 << QVariant(12) << true << "12";
        QTest::newRow("last cell of the sheet") << 65536 << 256 << QVariant(QStringLiteral("z")) << true << "z";
        QTest::newRow("row 0") << 0 << 1 << QVariant(QStringLiteral("a")) << false << "";
        QTest::newRow("row 65537") << 65537 << 1 << QVariant(QStringLiteral("a")) << false << "";
        QTest::newRow("column 257") << 1 << 257 << QVariant(QStringLiteral("a")) << false << "";
    }

    void setCellValue()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QVariant, value);
        QFETCH(bool, written);
        QFETCH(QString, text);
        const QString file = path(QStringLiteral("cell.xls"));
        ExcelEngine engine(file);
        QVERIFY(engine.openWorkbook(1));
        QCOMPARE(engine.setCellValue(row, column, value), written);
        QVERIFY(engine.saveWorkbook());
        WorkbookReader xlrd;
        QVERIFY2(xlrd.read(file), qPrintable(xlrd.error()));
        QCOMPARE(xlrd.sheet(0).cells.size(), written ? 1 : 0);
        if (written) {
            QCOMPARE(xlrd.sheet(0).text(row - 1, column - 1), text);
            QCOMPARE(xlrd.sheet(0).cell(row - 1, column - 1).horizontalAlignment, 2);
        }
    }

    void freshWorkbookHasOnlyOneSheet()
    {
        ExcelEngine engine(path(QStringLiteral("second.xls")));
        QVERIFY(!engine.openWorkbook(2));
        QVERIFY(!engine.openWorkbook(0));
        QVERIFY(engine.openWorkbook(1));
        QCOMPARE(engine.firstUsedRow(), 1);
        QCOMPARE(engine.usedRows(), 1);
    }
};

QTEST_GUILESS_MAIN(TestExcelEngine)
#include "tst_excelengine.moc"
