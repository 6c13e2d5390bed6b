// SPDX-License-Identifier: GPL-3.0-or-later
// The three catalog files as fuzz input: the input is written as meterno, unitno and probeno into
// a temporary directory, read by CatalogLoader, and the unit catalog sets up the columns of every
// kind. QSettings keeps the files it has read and reads one again only when its size or time
// changed, so each run gives the files a time of their own.

#include "CatalogLoader.h"
#include "ColumnModel.h"
#include "FuzzSupport.h"
#include "MeterFacts.h"
#include "MeterKind.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

namespace {

QString directory;
qint64 runs = 0;

void write(const QString &path, const uint8_t *data, size_t size)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly));
    FUZZ_CHECK(file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    FUZZ_CHECK(file.setFileTime(QDateTime::fromMSecsSinceEpoch(runs * 1000), QFileDevice::FileModificationTime));
}

// A group needs a key line ("Unit1/UnitNo=5" or a [Unit1] header and "UnitNo=5") of at least 14
// bytes, so a file of n bytes holds at most n / 14 + 1 rows.
void checkRows(const QList<CatalogRow> &rows, size_t size)
{
    FUZZ_CHECK(size_t(rows.size()) <= size / 14 + 1);
    for (const CatalogRow &row : rows)
        FUZZ_CHECK(row.size() == 3);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::start(argc, argv);
    directory = FuzzSupport::scratchDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QDir dir(directory);
    ++runs;
    for (const char *file : {CatalogLoader::meterFileName, CatalogLoader::unitFileName, CatalogLoader::probeFileName})
        write(dir.filePath(QLatin1String(file)), data, size);

    MeterCatalog meters;
    UnitCatalog units;
    ProbeNames probes;
    probes.insert(QStringLiteral("kept"), QStringLiteral("entry"));
    CatalogLoader::loadMeterCatalog(dir.path(), meters);
    CatalogLoader::loadUnitCatalog(dir.path(), units);
    CatalogLoader::loadProbeCatalog(dir.path(), probes);

    checkRows(meters, size);
    // A catalog that cannot identify a meter says why, in a short sentence.
    const QString problem = CatalogLoader::meterCatalogProblem(dir.path(), meters);
    FUZZ_CHECK(problem.isEmpty() == CatalogLoader::meterCatalogUsable(meters) && problem.size() <= 100);
    checkRows(units, size);
    // Entries already there stay (unless a group gives the same number a new name).
    FUZZ_CHECK(probes.contains(QStringLiteral("kept")) && size_t(probes.size()) <= size / 14 + 2);

    // Every slot naming the same unit row: the columns of each kind and mode take their decimals from it.
    for (int unit = 0; unit < qMin<int>(units.size(), 4); ++unit) {
        const QList<int> unitSlots(MeterFacts::UnitSlotCount, unit);
        for (int uiIndex = MeterKind::First; uiIndex <= MeterKind::Last; ++uiIndex) {
            for (int mode = 0; mode < 2; ++mode) {
                const ColumnSetup setup = ColumnModel::setUpColumns(uiIndex, mode, unitSlots, units);
                const MeterKind *kind = MeterKind::find(uiIndex);
                FUZZ_CHECK(!setup.unchanged && setup.decimalsKind == uiIndex);
                // Every row read has three fields, so every slot naming one gives the kind its columns.
                FUZZ_CHECK(setup.titles.size() == kind->columns(mode).size() + 1 + (kind->nameColumn ? 1 : 0));
                FUZZ_CHECK(setup.decimals.size() == kind->columns(mode).size());
                setup.headers(true);
            }
        }
    }
    return 0;
}
