// SPDX-License-Identifier: GPL-3.0-or-later
#include "BiffWorkbook.h"
#include "EmptyWorkbook.h"
#include "ExcelEngine.h"
#include "ExportTable.h"
#include "OleStorage.h"
#include "TestTemplates.h"
#include "WorkbookReader.h"
#include "WorkbookStreamCheck.h"

#include <QtTest>

#include <memory>

namespace {

QByteArray fileBytes(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Three data rows under six titles; the table has no item at its row 3, column 6.
ExportTable sixColumns()
{
    ExportTable t(3, 6);
    for (int c = 0; c < 6; ++c)
        t.setHeaderText(c, QStringLiteral("T%1").arg(c + 1));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 6; ++c)
            if (!(r == 2 && c == 5))
                t.setCellText(r, c, QStringLiteral("新%1.%2").arg(r + 1).arg(c + 1));
    return t;
}

const OleEntry *child(const OleEntry &storage, const QByteArray &name)
{
    for (const OleEntry &entry : storage.children)
        if (entry.name == name)
            return &entry;
    return nullptr;
}

} // namespace

// Building the workbook from "./template.xls": the template's other content survives, and a
// template that cannot be edited safely is refused before anything is written.
class TestExcelTemplate : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString previousDir;

    QString path(const QString &name) const { return dir->filePath(name); }
    QString templateFile() const { return path(QStringLiteral("template.xls")); }

    bool exportTo(const QString &fileName, const ExportTable &t, int sheet = 1)
    {
        ExcelEngine engine(fileName);
        return engine.openWorkbook(sheet) && engine.writeTable(t, nullptr) && engine.saveWorkbookAs(fileName);
    }

private Q_SLOTS:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        previousDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir->path()));
    }

    void cleanup()
    {
        QDir::setCurrent(previousDir);
        dir.reset();
    }

    void templateItselfReadsBack()
    {
        // The hand-made template is a sound workbook to begin with.
        QVERIFY(TestTemplates::writeTemplate(templateFile()));
        WorkbookReader xlrd;
        QVERIFY2(xlrd.read(templateFile()), qPrintable(xlrd.error()));
        QCOMPARE(xlrd.sheet(0).text(10, 10), QStringLiteral("keep me"));
        QCOMPARE(xlrd.sheet(0).cell(20, 1).value.toDouble(), 7.0);
    }

    void keepsTemplateContent()
    {
        QVERIFY(TestTemplates::writeTemplate(templateFile()));
        const QString out = path(QStringLiteral("out.xls"));
        QVERIFY(exportTo(out, sixColumns()));

        const QString problem = WorkbookStreamCheck::checkFile(out);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        WorkbookReader xlrd;
        QVERIFY2(xlrd.read(out), qPrintable(xlrd.error()));
        QCOMPARE(xlrd.sheets().size(), 2);
        QCOMPARE(xlrd.sheet(0).name, QStringLiteral("数据"));
        QCOMPARE(xlrd.sheet(1).name, QStringLiteral("Second"));

        const WorkbookReader::Sheet &s = xlrd.sheet(0);
        // Written: titles over "kept title", texts over RK numbers and styled blanks, all centred.
        for (int c = 0; c < 6; ++c) {
            QCOMPARE(s.text(0, c), QStringLiteral("T%1").arg(c + 1));
            for (int r = 1; r <= 3; ++r) {
                if (r == 3 && c == 5)
                    continue;
                QCOMPARE(s.cell(r, c).type, 1);
                QCOMPARE(s.text(r, c), QStringLiteral("新%1.%2").arg(r).arg(c + 1));
            }
        }
        for (auto it = s.cells.cbegin(); it != s.cells.cend(); ++it) {
            const bool written = it.key().first <= 3 && it.key().second <= 5 && it.key() != qMakePair(3, 5);
            QCOMPARE(it.value().horizontalAlignment == 2, written);
        }
        // The formats of the replaced cells live on in their centred copies.
        for (int c = 0; c < 4; ++c) {
            QVERIFY(s.cell(2, c).bold);
            QVERIFY(s.cell(2, c).wrap);
        }
        QVERIFY(!s.cell(1, 1).bold);
        QVERIFY(s.cell(0, 5).bold); // column F is formatted bold
        QVERIFY(!s.cell(0, 0).bold);
        // Kept: everything outside the written area and where the table had no item.
        QCOMPARE(s.text(0, 7), QStringLiteral("outside"));
        QCOMPARE(s.text(3, 5), QStringLiteral("under an empty item"));
        QCOMPARE(s.text(10, 10), QStringLiteral("keep me"));
        QCOMPARE(s.cell(12, 0).value.toDouble(), 3.5);
        for (int c = 20; c <= 22; ++c)
            QCOMPARE(s.cell(1, c).value.toDouble(), double(c - 16));
        for (int r = 20; r <= 22; ++r)
            QCOMPARE(s.cell(r, 1).value.toDouble(), 7.0);
        QCOMPARE(s.merged, (QList<QList<int>>{{10, 12, 0, 2}}));
        QCOMPARE(s.cells.size(), 6 + 17 + 10);

        const WorkbookReader::Sheet &second = xlrd.sheet(1);
        QCOMPARE(second.cells.size(), 2);
        QCOMPARE(second.text(0, 0), QStringLiteral("second sheet"));
        QCOMPARE(second.cell(1, 0).value.toDouble(), 42.0);

        // The template's other sheet is byte for byte the same apart from its INDEX offsets, and
        // its shared strings keep their indexes.
        QString error;
        const auto before = BiffWorkbook::load(TestTemplates::workbookStream(), &error);
        const auto after = BiffWorkbook::load(WorkbookStreamCheck::workbookStream(out), &error);
        QVERIFY2(after, qPrintable(error));
        for (quint32 i = 0; i < before->strings().uniqueCount(); ++i)
            QCOMPARE(after->strings().text(i), before->strings().text(i));
        QVERIFY(after->strings().isFormatted(5));
    }

    void stringTableAddedAfterTheRecordsThatPrecedeIt()
    {
        // A template without a shared string table but with a RECALCID after its sheet list: the
        // new table must follow the RECALCID, not be squeezed in between.
        QVector<BiffRecord> records;
        qint64 globalsEnd = 0;
        const QByteArray fresh = EmptyWorkbook::stream();
        QVERIFY(Biff::readSubstream(fresh, 0, &records, &globalsEnd));
        QByteArray stream;
        qsizetype sheetPositionAt = -1;
        for (const BiffRecord &r : records) {
            if (r.id == Biff::Sst || r.id == Biff::ExtSst)
                continue;
            if (r.id == Biff::Eof)
                Biff::appendRecord(stream, Biff::RecalcId, QByteArray::fromHex("c101000001000000"));
            if (r.id == Biff::BoundSheet)
                sheetPositionAt = stream.size() + 4;
            Biff::appendRecord(stream, r.id, r.data);
        }
        Biff::set32(stream, sheetPositionAt, quint32(stream.size()));
        stream += fresh.mid(globalsEnd);

        QString error;
        const auto book = BiffWorkbook::load(stream, &error);
        QVERIFY2(book, qPrintable(error));
        QVERIFY2(book->selectSheet(0, &error), qPrintable(error));
        QVERIFY2(book->setCellText(0, 0, QStringLiteral("text"), &error), qPrintable(error));
        const QByteArray out = book->write();
        const QString problem = WorkbookStreamCheck::check(out);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));

        QVector<BiffRecord> globals;
        QVERIFY(Biff::readSubstream(out, 0, &globals, &globalsEnd));
        QVector<quint16> tail;
        for (int i = globals.size() - 4; i < globals.size(); ++i)
            tail.append(globals.at(i).id);
        QCOMPARE(tail, (QVector<quint16>{Biff::RecalcId, Biff::Sst, Biff::ExtSst, Biff::Eof}));
    }

    void keepsTheOtherCompoundFileEntries()
    {
        QVERIFY(TestTemplates::writeTemplate(templateFile()));
        const QString out = path(QStringLiteral("out.xls"));
        QVERIFY(exportTo(out, sixColumns()));
        OleStorage::Contents contents;
        QString error;
        QVERIFY2(OleStorage::read(fileBytes(out), &contents, &error), qPrintable(error));
        QCOMPARE(contents.root.classId.toHex(), QByteArray("2008020000000000c000000000000046"));
        const OleEntry *summary = child(contents.root, TestTemplates::summaryStreamName());
        QVERIFY(summary);
        QCOMPARE(summary->data, TestTemplates::summaryStreamData());
        const OleEntry *storage = child(contents.root, TestTemplates::storageName());
        QVERIFY(storage);
        QVERIFY(storage->storage);
        QCOMPARE(storage->classId, TestTemplates::storageClassId());
        const OleEntry *vba = child(*storage, "VBA");
        QVERIFY(vba);
        QCOMPARE(vba->data, QByteArray(5000, 'v'));
        QCOMPARE(contents.root.children.size(), size_t(2));
    }

    void writesIntoTheChosenSheet()
    {
        QVERIFY(TestTemplates::writeTemplate(templateFile()));
        const QString out = path(QStringLiteral("second.xls"));
        ExportTable t(1, 2);
        t.setCellText(0, 0, QStringLiteral("x"));
        t.setCellText(0, 1, QStringLiteral("y"));
        QVERIFY(exportTo(out, t, 2));
        const QString problem = WorkbookStreamCheck::checkFile(out);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        WorkbookReader xlrd;
        QVERIFY2(xlrd.read(out), qPrintable(xlrd.error()));
        QCOMPARE(xlrd.sheet(1).text(0, 0), QStringLiteral("second sheet"));
        QCOMPARE(xlrd.sheet(1).text(1, 0), QStringLiteral("x"));
        QCOMPARE(xlrd.sheet(1).text(1, 1), QStringLiteral("y"));
        QCOMPARE(xlrd.sheet(0).text(0, 0), QStringLiteral("kept title"));
        QCOMPARE(xlrd.sheet(0).cell(1, 1).value.toDouble(), 1.0);
        QCOMPARE(xlrd.sheet(0).cells.size(), 18);
    }

    void dualStreamFileLosesItsBiff5Copy()
    {
        TestTemplates::Options options;
        options.withBookStream = true;
        QVERIFY(TestTemplates::writeTemplate(templateFile(), options));
        const QString out = path(QStringLiteral("out.xls"));
        QVERIFY(exportTo(out, sixColumns()));
        OleStorage::Contents contents;
        QString error;
        QVERIFY(OleStorage::read(fileBytes(out), &contents, &error));
        QVERIFY(!contents.droppedBiff5Copy);
        QVector<BiffRecord> globals;
        qint64 end = 0;
        QVERIFY(Biff::readSubstream(contents.workbook, 0, &globals, &end));
        const auto dsf =
            std::find_if(globals.cbegin(), globals.cend(), [](const BiffRecord &r) { return r.id == Biff::Dsf; });
        QVERIFY(dsf != globals.cend());
        QCOMPARE(Biff::u16(dsf->data, 0), quint16(0));
        WorkbookReader xlrd;
        QVERIFY2(xlrd.read(out), qPrintable(xlrd.error()));
    }

    void officeSuiteTemplate()
    {
        // A template as an office suite writes it: drawing records, its own compound-file
        // streams, formats and styles of its own.
        const QString source = QStringLiteral(LUMIVANE_SOURCE_DIR "/tests/export/data/office-template.xls");
        QVERIFY(QFile::copy(source, templateFile()));
        ExportTable t(3, 5);
        for (int c = 0; c < 5; ++c) {
            t.setHeaderText(c, QStringLiteral("照度%1\n(Lux)").arg(c));
            for (int r = 0; r < 3; ++r)
                t.setCellText(r, c, QString::number(r * 10 + c + 0.5, 'f', 2));
        }
        const QString out = path(QStringLiteral("out.xls"));
        QVERIFY(exportTo(out, t));
        const QString problem = WorkbookStreamCheck::checkFile(out);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        WorkbookReader xlrd;
        QVERIFY2(xlrd.read(out), qPrintable(xlrd.error()));
        QCOMPARE(xlrd.sheets().size(), 2);
        QCOMPARE(xlrd.sheet(0).name, QStringLiteral("数据"));
        QCOMPARE(xlrd.sheet(1).name, QStringLiteral("说明"));
        const WorkbookReader::Sheet &s = xlrd.sheet(0);
        for (int c = 0; c < 5; ++c) {
            QCOMPARE(s.text(0, c), t.headerText(c));
            QVERIFY(s.cell(0, c).bold); // the template's title format, now centred
            QCOMPARE(s.cell(0, c).horizontalAlignment, 2);
            for (int r = 0; r < 3; ++r) {
                QCOMPARE(s.cell(r + 1, c).type, 1);
                QCOMPARE(s.text(r + 1, c), t.cellText(r, c));
                QCOMPARE(s.cell(r + 1, c).horizontalAlignment, 2);
            }
        }
        QCOMPARE(s.text(0, 5), QStringLiteral("备注"));
        QVERIFY(s.cell(0, 5).horizontalAlignment != 2);
        QCOMPARE(s.text(9, 0), QStringLiteral("由模板生成"));
        QCOMPARE(s.cell(9, 1).value.toDouble(), 2.5);
        QCOMPARE(s.cell(9, 2).value.toDouble(), 5.0);
        QCOMPARE(s.text(11, 0), QStringLiteral("合并"));
        QCOMPARE(s.merged, (QList<QList<int>>{{11, 12, 0, 2}}));
        QCOMPARE(xlrd.sheet(1).text(0, 0), QStringLiteral("Lumivane template"));

        // The suite's own streams come along unchanged.
        OleStorage::Contents before, after;
        QString error;
        QVERIFY(OleStorage::read(fileBytes(source), &before, &error));
        QVERIFY(OleStorage::read(fileBytes(out), &after, &error));
        QCOMPARE(after.root.children.size(), before.root.children.size());
        QVERIFY(before.root.children.size() >= 4);
        for (const OleEntry &entry : before.root.children) {
            const OleEntry *copy = child(after.root, entry.name);
            QVERIFY2(copy, entry.name.constData());
            QCOMPARE(copy->data, entry.data);
        }
    }

    void refusedTemplates_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("encrypted (FILEPASS)") << "encrypted";
        QTest::newRow("BIFF5 stream") << "biff5";
        QTest::newRow("Excel 5.0/95 file with only a Book stream") << "book";
        QTest::newRow("sheet position off by one") << "position";
        QTest::newRow("not a compound file") << "garbage";
        QTest::newRow("empty file") << "empty";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("compound file without a workbook") << "noworkbook";
        QTest::newRow("shared strings fewer than declared") << "sst";
        QTest::newRow("truncated workbook stream") << "truncated";
    }

    void refusedTemplates()
    {
        QFETCH(QString, kind);
        TestTemplates::Options options;
        options.encrypted = kind == QLatin1String("encrypted");
        options.bofVersion = kind == QLatin1String("biff5") ? 0x0500 : 0x0600;
        options.onlyBookStream = kind == QLatin1String("book");
        options.brokenSheetPosition = kind == QLatin1String("position");
        if (kind == QLatin1String("garbage")) {
            QByteArray noise;
            for (int i = 0; i < 4096; ++i)
                noise.append(char((i * 131 + 7) % 251));
            QVERIFY(writeFile(templateFile(), noise));
        } else if (kind == QLatin1String("empty")) {
            QVERIFY(writeFile(templateFile(), QByteArray()));
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("template.xls")));
        } else if (kind == QLatin1String("noworkbook") || kind == QLatin1String("sst")
                   || kind == QLatin1String("truncated")) {
            QByteArray stream = TestTemplates::workbookStream();
            if (kind == QLatin1String("sst")) {
                const qsizetype sst = stream.indexOf(QByteArray::fromHex("fc00"));
                Biff::set32(stream, sst + 8, Biff::u32(stream, sst + 8) + 1);
            }
            if (kind == QLatin1String("truncated"))
                stream.chop(stream.size() / 3);
            QByteArray file;
            QString error;
            QVERIFY(OleStorage::write(stream, OleEntry(), &file, &error));
            if (kind == QLatin1String("noworkbook"))
                file.replace(QByteArray("W\0o\0r\0k\0b\0o\0o\0k\0", 16), QByteArray("X\0o\0r\0k\0b\0o\0o\0k\0", 16));
            QVERIFY(writeFile(templateFile(), file));
        } else {
            QVERIFY(TestTemplates::writeTemplate(templateFile(), options));
        }

        const QString out = path(QStringLiteral("out.xls"));
        QVERIFY(writeFile(out, "the user's previous workbook"));
        ExcelEngine engine(out);
        QVERIFY(!engine.openWorkbook(1));
        QVERIFY(!engine.isOpen());
        QVERIFY(!engine.errorString().isEmpty());
        QVERIFY(!engine.writeTable(sixColumns(), nullptr));
        QVERIFY(!engine.saveWorkbookAs(out));
        QCOMPARE(fileBytes(out), QByteArray("the user's previous workbook"));
    }

    void sharedFormulaAnchorInWrittenArea()
    {
        TestTemplates::Options options;
        options.sharedFormulaInArea = true; // anchored at E2, used by E2..E4
        QVERIFY(TestTemplates::writeTemplate(templateFile(), options));
        const QString out = path(QStringLiteral("out.xls"));
        QVERIFY(writeFile(out, "previous"));
        {
            ExcelEngine engine(out);
            QVERIFY(engine.openWorkbook(1));
            QVERIFY(!engine.writeTable(sixColumns(), nullptr));
            QVERIFY(engine.errorString().contains(QStringLiteral("formula")));
        }
        QCOMPARE(fileBytes(out), QByteArray("previous"));

        // A table that leaves column E alone writes around the formula and keeps it.
        ExportTable t = sixColumns();
        ExportTable withoutE(3, 6);
        for (int c = 0; c < 6; ++c) {
            if (c == 4)
                continue;
            withoutE.setHeaderText(c, t.headerText(c));
            for (int r = 0; r < 3; ++r)
                if (t.hasCell(r, c))
                    withoutE.setCellText(r, c, t.cellText(r, c));
        }
        withoutE.setHeaderText(4, QStringLiteral("title above the formula"));
        QVERIFY(exportTo(out, withoutE));
        WorkbookReader xlrd;
        QVERIFY2(xlrd.read(out), qPrintable(xlrd.error()));
        QCOMPARE(xlrd.sheet(0).text(0, 4), QStringLiteral("title above the formula"));
        for (int r = 1; r <= 3; ++r)
            QCOMPARE(xlrd.sheet(0).cell(r, 4).value.toDouble(), 7.0);
    }

    void cellFormatLimit()
    {
        // 17 formats of its own: with 4033 more the template is at the limit of 4050, and
        // centring a cell needs one more.
        TestTemplates::Options options;
        options.extraXfs = 4050 - 17 - 1;
        QVERIFY(TestTemplates::writeTemplate(templateFile(), options));
        const QString out = path(QStringLiteral("out.xls"));
        ExportTable one(1, 1);
        one.setCellText(0, 0, QStringLiteral("fits"));
        QVERIFY(exportTo(out, one));
        QVERIFY(QFile::remove(out));
        QVERIFY(!exportTo(out, sixColumns())); // needs a second centred format
        QVERIFY(!QFileInfo::exists(out));
    }
};

QTEST_GUILESS_MAIN(TestExcelTemplate)
#include "tst_exceltemplate.moc"
