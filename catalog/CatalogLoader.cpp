// SPDX-License-Identifier: GPL-3.0-or-later
#include "CatalogLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <array>

const char *const CatalogLoader::meterFileName = "meterno";
const char *const CatalogLoader::unitFileName = "unitno";
const char *const CatalogLoader::probeFileName = "probeno";

namespace {

QString groupKey(const char *pattern, int n, const char *key)
{
    return QString::fromLatin1(pattern).arg(n) + QLatin1Char('/') + QLatin1String(key);
}

// Qt 6 reads every INI file as UTF-8 (there is no per-file codec any more). For unitno and probeno
// that is what the files are written in. meterno is meant to be read without UTF-8 decoding, but
// it holds only digits, which read the same in any ASCII-compatible encoding; anything else in it
// is not a number and converts to 0 where the rows are used, however it was decoded.
QSettings openCatalog(const QString &directory, const char *fileName)
{
    return QSettings(QDir(directory).filePath(QLatin1String(fileName)), QSettings::IniFormat);
}

// Appends one row per numbered group, holding the values of `keys` unconverted and in that order,
// until the first group whose first key is empty or missing.
void appendRows(const QSettings &settings, const char *pattern, const std::array<const char *, 3> &keys,
                QList<CatalogRow> &rows)
{
    for (int n = 1;; ++n) {
        const QVariant first = settings.value(groupKey(pattern, n, keys[0]));
        if (first.toString().isEmpty())
            return;
        rows.append(CatalogRow{first, settings.value(groupKey(pattern, n, keys[1])),
                               settings.value(groupKey(pattern, n, keys[2]))});
    }
}

} // namespace

bool CatalogLoader::holdsCatalog(const QString &directory)
{
    const QDir dir(directory);
    for (const char *name : {meterFileName, unitFileName, probeFileName})
        if (QFileInfo(dir.filePath(QLatin1String(name))).isFile())
            return true;
    return false;
}

QString CatalogLoader::defaultDirectory()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    if (holdsCatalog(appDir))
        return appDir;
    const QString dataDir = QStringLiteral(LUMIVANE_DATA_DIR);
    if (holdsCatalog(dataDir))
        return dataDir;
    return appDir;
}

void CatalogLoader::loadMeterCatalog(const QString &directory, MeterCatalog &catalog)
{
    appendRows(openCatalog(directory, meterFileName), "Device%1", {"MeterNo", "UIIndex", "Version"}, catalog);
}

void CatalogLoader::loadUnitCatalog(const QString &directory, UnitCatalog &catalog)
{
    appendRows(openCatalog(directory, unitFileName), "Unit%1", {"UnitNo", "UnitName", "DecimalNumber"}, catalog);
}

void CatalogLoader::loadProbeCatalog(const QString &directory, ProbeNames &names)
{
    const QSettings settings = openCatalog(directory, probeFileName);
    for (int n = 1;; ++n) {
        const QString probeNoKey = groupKey("Probe%1", n, "ProbeNo");
        if (settings.value(probeNoKey).toString().isEmpty())
            break;
        // The probe number goes through the 8-bit codec, which is UTF-8 on Linux.
        const QString probeNo = QString::fromLocal8Bit(settings.value(probeNoKey).toByteArray());
        names.insert(probeNo, settings.value(groupKey("Probe%1", n, "ProbeName")).toString());
    }
}

bool CatalogLoader::meterCatalogUsable(const MeterCatalog &catalog)
{
    for (const CatalogRow &row : catalog) {
        bool numbers = row.size() == 3;
        for (int i = 0; i < row.size() && numbers; ++i)
            row.at(i).toInt(&numbers);
        if (numbers)
            return true;
    }
    return false;
}

QString CatalogLoader::meterCatalogProblem(const QString &directory, const MeterCatalog &catalog)
{
    if (meterCatalogUsable(catalog))
        return QString();
    const QString name = QLatin1String(meterFileName);
    if (!QFileInfo(QDir(directory).filePath(name)).isFile())
        return QStringLiteral("there is no file %1").arg(name);
    if (catalog.isEmpty())
        return QStringLiteral("%1 holds no group [Device1] with a MeterNo").arg(name);
    return QStringLiteral("no group of %1 has whole numbers for MeterNo, UIIndex and Version").arg(name);
}
