// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliTestSupport.h"

#include "CatalogLoader.h"
#include "ColourTableModel.h"
#include "ExportTable.h"
#include "MeterImage.h"
#include "SpectralTableModel.h"
#include "WorkbookReader.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSettings>
#include <QtEndian>

#include <cstring>
#include <grp.h>
#include <unistd.h>

namespace CliTest {

QString program()
{
    return QStringLiteral(LUMIVANE_CLI_PATH);
}

QStringList meterArguments(const QString &image, bool chinese)
{
    return {QStringLiteral("--virtual-meter"), image, QStringLiteral("--lang"),
            chinese ? QStringLiteral("zh") : QStringLiteral("en")};
}

QString samplePath(const QString &name)
{
    return QStringLiteral(LUMIVANE_SAMPLES_DIR "/meters/") + name + QStringLiteral(".json");
}

QJsonObject sampleJson(const QString &name)
{
    const QJsonDocument document = QJsonDocument::fromJson(readFile(samplePath(name)));
    if (!document.isObject())
        qFatal("sample %s is not a JSON object", qPrintable(name));
    return document.object();
}

QString writeImage(const QTemporaryDir &dir, const QString &fileName, const QJsonObject &image)
{
    const QString path = dir.filePath(fileName);
    if (!writeFile(path, QJsonDocument(image).toJson()))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QJsonObject withFaults(const QString &name, const QByteArray &faultsJson)
{
    QJsonObject image = sampleJson(name);
    image.insert(QStringLiteral("faults"), QJsonDocument::fromJson(faultsJson).object());
    return image;
}

Result run(const QStringList &arguments, const QString &workDir, const QString &runtimeDir, unsigned user,
           const std::function<void(QProcess &)> &prepare)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    // Without --lang the program follows the locale: these tests expect its Chinese.
    for (const char *name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        environment.remove(QLatin1String(name));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("zh_CN.UTF-8"));
    if (user != 0) {
        environment.insert(QStringLiteral("HOME"), runtimeDir);
        process.setChildProcessModifier([user] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(user) != 0 || ::setuid(user) != 0)
                ::_exit(126);
        });
    }
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workDir);
    if (prepare)
        prepare(process);
    process.start(program(), arguments);
    Result result;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        result.crashed = true;
    }
    result.crashed = result.crashed || process.exitStatus() != QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

bool parseCsv(const QByteArray &bytes, Grid &grid, QString &error)
{
    grid.clear();
    if (!bytes.startsWith("\xEF\xBB\xBF")) {
        error = QStringLiteral("no byte-order mark");
        return false;
    }
    const QString text = QString::fromUtf8(bytes.mid(3));
    if (text.toUtf8() != bytes.mid(3)) {
        error = QStringLiteral("not UTF-8");
        return false;
    }
    QStringList row;
    QString field;
    bool quoted = false;
    bool fieldWasQuoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"')) {
            if (!field.isEmpty() || fieldWasQuoted) {
                error = QStringLiteral("quote inside an unquoted field at %1").arg(i);
                return false;
            }
            quoted = fieldWasQuoted = true;
        } else if (c == QLatin1Char(',')) {
            row << field;
            field.clear();
            fieldWasQuoted = false;
        } else if (c == QLatin1Char('\r')) {
            if (i + 1 >= text.size() || text.at(i + 1) != QLatin1Char('\n')) {
                error = QStringLiteral("CR without LF at %1").arg(i);
                return false;
            }
            ++i;
            row << field;
            grid << row;
            row.clear();
            field.clear();
            fieldWasQuoted = false;
        } else if (c == QLatin1Char('\n')) {
            error = QStringLiteral("bare LF outside quotes at %1").arg(i);
            return false;
        } else {
            if (fieldWasQuoted) {
                error = QStringLiteral("text after a closing quote at %1").arg(i);
                return false;
            }
            field += c;
        }
    }
    if (quoted || !field.isEmpty() || !row.isEmpty()) {
        error = QStringLiteral("the last line does not end with CR LF");
        return false;
    }
    return true;
}

bool readXls(const QString &fileName, int columns, Grid &grid, QString &error, int sheetIndex)
{
    grid.clear();
    WorkbookReader reader;
    if (!reader.read(fileName)) {
        error = reader.error();
        return false;
    }
    if (reader.sheets().size() <= sheetIndex) {
        error = QStringLiteral("no sheet %1").arg(sheetIndex);
        return false;
    }
    const WorkbookReader::Sheet &sheet = reader.sheet(sheetIndex);
    if (sheet.columns > columns) {
        error = QStringLiteral("the sheet has %1 columns, more than %2").arg(sheet.columns).arg(columns);
        return false;
    }
    for (int r = 0; r < sheet.rows; ++r) {
        QStringList row;
        for (int c = 0; c < columns; ++c) {
            const WorkbookReader::Cell cell = sheet.cell(r, c);
            // An empty text (a record without a name) is a blank cell: formatted, without value.
            const bool shown = cell.type == 1 || cell.type == 2 || (cell.type == 6 && cell.value.toString().isEmpty());
            if (sheet.has(r, c) && (!shown || cell.horizontalAlignment != 2)) {
                error = QStringLiteral("cell (%1, %2) is not a centred text or number cell (type %3, alignment %4)")
                            .arg(r)
                            .arg(c)
                            .arg(cell.type)
                            .arg(cell.horizontalAlignment);
                return false;
            }
            row << (sheet.has(r, c) ? sheet.text(r, c) : QString());
        }
        grid << row;
    }
    return true;
}

Grid recordsGolden(const QString &sample, bool chinese)
{
    const QString path = QStringLiteral(LUMIVANE_SOURCE_DIR "/tests/recordspage/golden/") + sample
                         + (chinese ? QStringLiteral(".zh.tsv") : QStringLiteral(".en.tsv"));
    const QString text = QString::fromUtf8(readFile(path));
    if (text.isEmpty())
        qFatal("no golden table %s", qPrintable(path));
    Grid grid;
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QStringList cells = line.split(QLatin1Char('\t'));
        cells.removeLast(); // the delete buttons are not exported
        for (QString &cell : cells)
            cell.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
        grid << cells;
    }
    return grid;
}

Grid expectedSpectra(const QString &sample, int kind, bool chinese)
{
    const QJsonObject image = sampleJson(sample);
    const QJsonArray unitSlots = image.value(QStringLiteral("unitSlots")).toArray();
    const bool ppfd = (kind == 1 || kind == 4) && image.value(QStringLiteral("mode")).toInt() == 1;
    const int offset = ppfd ? 0 : 60;
    const QSettings unitno(QStringLiteral(LUMIVANE_SOURCE_DIR "/catalog/files/unitno"), QSettings::IniFormat);

    QList<int> decimals;
    QStringList titles{chinese ? QStringLiteral("序号") : QStringLiteral("NO")};
    if (kind == 4)
        titles << (chinese ? QStringLiteral("名称") : QStringLiteral("Test Name"));
    for (int i = 0; i < 31; ++i) {
        titles << QStringLiteral("%1nm").arg(400 + 10 * i);
        const int unit = unitSlots.at(15 + i).toInt();
        decimals << unitno.value(QStringLiteral("Unit%1/DecimalNumber").arg(unit + 1)).toInt();
    }
    titles << QString(); // the curve column has a check box, not a title
    Grid grid{titles};

    const QJsonArray records = image.value(QStringLiteral("records")).toArray();
    const QJsonArray names = image.value(QStringLiteral("names")).toArray();
    for (int k = 0; k < records.size(); ++k) {
        const QByteArray bytes = QByteArray::fromHex(records.at(k).toString().toLatin1());
        QStringList row{QString::number(k + 1)};
        if (kind == 4) {
            const QByteArray slot = QByteArray::fromHex(names.at(k).toString().toLatin1()).left(13);
            const qsizetype zero = slot.indexOf('\0');
            row << QString::fromUtf8(zero < 0 ? slot : slot.left(zero));
        }
        for (int i = 0; i < 31; ++i) {
            const quint32 word = qFromLittleEndian<quint32>(bytes.constData() + offset + 4 * i);
            float value = 0;
            std::memcpy(&value, &word, sizeof value);
            row << QString::number(double(value), 'f', decimals.at(i));
        }
        row << QString();
        grid << row;
    }
    return grid;
}

Grid expectedColours(const QString &sample, int kind, bool chinese)
{
    MeterImage image;
    QString error;
    MeterImage::fromFile(samplePath(sample), image, error); // a sample that fails gives no columns
    UnitCatalog units;
    CatalogLoader::loadUnitCatalog(QStringLiteral(LUMIVANE_SOURCE_DIR "/catalog/files"), units);
    SpectralTableModel spectra(kind);
    spectra.setChinese(chinese);
    spectra.setUp(QList<int>(image.unitSlots.cbegin(), image.unitSlots.cend()), units);
    const ColourTableModel colours(spectra);
    spectra.appendDownload({image.recordCount, image.recordMemory, image.nameMemory}, image.mode);
    // The shown columns as the window shows them, then those only its export has.
    const ExportTable exported = colours.exportTable();
    Grid grid(colours.rowCount() + 1);
    for (int c = 0; c < exported.columnCount(); ++c) {
        const bool shown = c < colours.columnCount();
        // The window puts a unit on a line of its own; the title is the same.
        grid[0] << (shown ? colours.headerData(c, Qt::Horizontal).toString().remove(QLatin1Char('\n'))
                          : exported.headerText(c));
        for (int r = 0; r < colours.rowCount(); ++r)
            grid[r + 1] << (shown ? colours.data(colours.index(r, c)).toString() : exported.cellText(r, c));
    }
    return grid;
}

QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace CliTest
