// SPDX-License-Identifier: GPL-3.0-or-later
#include "ColumnModel.h"

#include "BuiltInUnitTable.h"
#include "MeterFacts.h"
#include "MeterKind.h"

#include <QDebug>

namespace {

// The unit of a unit number in the built-in unit table; no unit text and 2 decimals past it.
ColumnUnit builtInUnit(int unitNo, const UnitCatalog &builtIn)
{
    if (unitNo < 0 || unitNo >= builtIn.size())
        return {};
    const CatalogRow &row = builtIn.at(unitNo);
    return {row.at(1).toString(), row.at(2).toInt()};
}

QList<int> slotsOf(const QList<MeterColumn> &columns)
{
    QList<int> slotNumbers;
    for (const MeterColumn &column : columns)
        slotNumbers << column.slot;
    return slotNumbers;
}

QList<ColumnTitle> titlesOf(const MeterKind &kind, const QList<MeterColumn> &columns, const QList<ColumnUnit> &units)
{
    QList<ColumnTitle> titles;
    if (kind.nameColumn)
        titles.append({Text::TestName, QString()});
    for (int i = 0; i < columns.size(); ++i)
        titles.append({columns.at(i).title, units.at(i).text});
    return titles;
}

} // namespace

QString ColumnTitle::text(bool chinese) const
{
    const QString name = TextCatalogue::text(title, chinese);
    if (unit.isEmpty())
        return name;
    return name + QStringLiteral("\n(") + unit + QLatin1Char(')');
}

QStringList ColumnSetup::headers(bool chinese) const
{
    QStringList texts;
    for (const ColumnTitle &title : titles)
        texts << title.text(chinese);
    return texts;
}

void ColumnSetup::applyDecimals(DecimalsLists &lists) const
{
    if (!unchanged && decimalsKind >= 1 && decimalsKind <= int(lists.size()))
        lists[size_t(decimalsKind - 1)] = decimals;
}

ColumnSetup ColumnModel::setUpColumns(int uiIndex, int mode, const QList<int> &unitSlots,
                                      const UnitCatalog &unitCatalog)
{
    ColumnSetup setup;
    if (unitSlots.size() < MeterFacts::UnitSlotCount) {
        setup.unchanged = true;
        return setup;
    }
    const MeterKind *kind = MeterKind::find(uiIndex);
    if (!kind)
        return setup;
    setup.decimalsKind = uiIndex;
    const QList<MeterColumn> &columns = kind->columns(mode);
    const QList<ColumnUnit> units = unitsOfSlots(slotsOf(columns), unitSlots, unitCatalog);
    for (const ColumnUnit &unit : units)
        setup.decimals << unit.decimals;
    setup.titles = titlesOf(*kind, columns, units);
    setup.titles.append({Text::Operation, QString()});
    return setup;
}

QList<ColumnUnit> ColumnModel::exportUnits(int uiIndex, int mode, const QList<int> &unitSlots)
{
    const MeterKind *kind = MeterKind::find(uiIndex);
    if (!kind)
        return {};
    const UnitCatalog builtIn = BuiltInUnitTable::rows();
    QList<ColumnUnit> units;
    for (const MeterColumn &column : kind->columns(mode)) {
        if (column.slot >= unitSlots.size())
            return {};
        units << builtInUnit(unitSlots.at(column.slot), builtIn);
    }
    return units;
}

QStringList ColumnModel::exportHeaders(int uiIndex, int mode, const QList<int> &unitSlots, bool chinese)
{
    const MeterKind *kind = MeterKind::find(uiIndex);
    const QList<ColumnUnit> units = exportUnits(uiIndex, mode, unitSlots);
    if (!kind || units.isEmpty())
        return {};
    QStringList headers;
    for (const ColumnTitle &title : titlesOf(*kind, kind->columns(mode), units))
        headers << title.text(chinese);
    return headers;
}

QList<ColumnUnit> ColumnModel::unitsOfSlots(const QList<int> &slotNumbers, const QList<int> &unitSlots,
                                            const UnitCatalog &unitCatalog)
{
    QList<ColumnUnit> units;
    UnitCatalog builtIn; // read only when a slot falls back
    QStringList fallbacks;
    for (const int slot : slotNumbers) {
        const int unitNo = unitSlots.at(slot);
        if (unitNo >= 0 && unitNo < unitCatalog.size() && unitCatalog.at(unitNo).size() == 3) {
            const CatalogRow &row = unitCatalog.at(unitNo);
            units.append({row.at(1).toString(), row.at(2).toInt()});
            continue;
        }
        if (builtIn.isEmpty())
            builtIn = BuiltInUnitTable::rows();
        units.append(builtInUnit(unitNo, builtIn));
        fallbacks << QStringLiteral("slot %1 (unit %2)").arg(slot).arg(unitNo);
    }
    if (!fallbacks.isEmpty())
        qWarning().noquote() << QStringLiteral("unit catalog has no usable row for %1: units from the built-in unit "
                                               "table (no unit and 2 decimals past it)")
                                    .arg(fallbacks.join(QStringLiteral(", ")));
    return units;
}
