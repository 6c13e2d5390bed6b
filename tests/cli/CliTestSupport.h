// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

class QProcess;

// Runs lumivane-cli as a process and reads what it wrote, for the command-line tests.
namespace CliTest {

using Grid = QList<QStringList>;

struct Result
{
    int exitCode = -1;
    bool crashed = false;
    QByteArray out;
    QByteArray err;
};

// The program under test, next to the other executables of the build.
QString program();
// The shipped sample meter image <name>.json.
QString samplePath(const QString &name);
QJsonObject sampleJson(const QString &name);
// Writes an image (a sample with changes) into dir and returns its path.
QString writeImage(const QTemporaryDir &dir, const QString &fileName, const QJsonObject &image);
// The sample with a "faults" object (JSON text).
QJsonObject withFaults(const QString &name, const QByteArray &faultsJson);

// The options for the virtual meter loaded from image, in Chinese or English.
QStringList meterArguments(const QString &image, bool chinese);

// Runs the program in workDir with the lock directory runtimeDir and returns what it did; as the
// user with the given id (its group the same number, runtimeDir its home too) when it is not 0,
// which only root can ask for. prepare, when given, sets the process up further before it starts
// (its standard output, a child-process modifier).
Result run(const QStringList &arguments, const QString &workDir, const QString &runtimeDir, unsigned user = 0,
           const std::function<void(QProcess &)> &prepare = {});

// Parses CSV as the program writes it (byte-order mark, CR LF, quoted fields); false with the
// reason when the bytes do not follow that form.
bool parseCsv(const QByteArray &bytes, Grid &grid, QString &error);
// A sheet of a workbook (the first unless told) as xlrd reads it, as a grid of the texts the cells
// show, padded to `columns` (empty cells are empty texts). Also checks that every written cell is a
// centred text or number cell.
bool readXls(const QString &fileName, int columns, Grid &grid, QString &error, int sheetIndex = 0);

// The records table of the records page for a sample as the records-page tests fix it
// (tests/recordspage/golden), without the Operation column.
Grid recordsGolden(const QString &sample, bool chinese);
// The spectral sheet for a sample, worked out from the image itself: the title row, then per
// record the row number, the name for kind 4, the 31 values with the unit catalog's decimals and
// the empty curve column.
Grid expectedSpectra(const QString &sample, int kind, bool chinese);
// The colour table for a sample as the window's ColourTableModel shows it, following a spectral
// table that holds the sample's records decoded with the shipped unitno.
Grid expectedColours(const QString &sample, int kind, bool chinese);

// Every file in dir (names), to see that nothing was left behind.
QStringList filesIn(const QString &dir);
QByteArray readFile(const QString &path);
bool writeFile(const QString &path, const QByteArray &bytes);

} // namespace CliTest
