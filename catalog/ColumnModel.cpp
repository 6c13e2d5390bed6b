#include "ColumnModel.h"

#include "BuiltInUnitTable.h"
#include "ColumnLayout.h"

namespace {

struct ColumnUnit
{
    QString text;
    int decimals;
};

// The unit of each measurement column, or nullopt as soon as one slot is missing from the list,
// names no row of the table, or names a row without exactly three fields.
std::optional<QList<ColumnUnit>> unitsOf(const ColumnLayout &layout, const QList<int> &unitSlots,
                                         const UnitCatalog &table)
{
    QList<ColumnUnit> units;
    for (const MeasurementColumn &column : layout.columns) {
        if (column.slot >= unitSlots.size())
            return std::nullopt;
        const int unitNo = unitSlots.at(column.slot);
        if (unitNo < 0 || unitNo >= table.size())
            return std::nullopt;
        const CatalogRow &row = table.at(unitNo);
        if (row.size() != 3)
            return std::nullopt;
        units.append({row.at(1).toString(), row.at(2).toInt()});
    }
    return units;
}

QStringList headersOf(const ColumnLayout &layout, const QList<ColumnUnit> &units, bool chinese)
{
    QStringList headers;
    if (layout.testNameFirst)
        headers << ColumnLayout::testNameTitle(chinese);
    for (int i = 0; i < layout.columns.size(); ++i)
        headers << ColumnModel::headerText(layout.columns.at(i).title(chinese), units.at(i).text);
    return headers;
}

} // namespace

void ColumnSetup::applyDecimals(DecimalsLists &lists) const
{
    if (!unchanged && decimalsKind >= 1 && decimalsKind <= int(lists.size()))
        lists[size_t(decimalsKind - 1)] = decimals;
}

QString ColumnModel::headerText(const QString &title, const QString &unit)
{
    if (unit.isEmpty())
        return title;
    return title + QStringLiteral("\n(") + unit + QLatin1Char(')');
}

ColumnSetup ColumnModel::setUpColumns(int uiIndex, int mode, const QList<int> &unitSlots,
                                      const UnitCatalog &unitCatalog, bool languageFlag)
{
    ColumnSetup setup;
    if (unitSlots.size() < unitSlotCount) {
        setup.unchanged = true;
        return setup;
    }
    const std::optional<ColumnLayout> layout = ColumnLayout::select(uiIndex, mode);
    if (!layout)
        return setup;
    setup.decimalsKind = uiIndex;
    const std::optional<QList<ColumnUnit>> units = unitsOf(*layout, unitSlots, unitCatalog);
    if (!units)
        return setup;
    for (const ColumnUnit &unit : *units)
        setup.decimals << unit.decimals;
    setup.headers = headersOf(*layout, *units, languageFlag);
    setup.headers << ColumnLayout::operationTitle(languageFlag);
    return setup;
}

QStringList ColumnModel::exportHeaders(int uiIndex, int mode, const QList<int> &unitSlots, bool languageFlag)
{
    const std::optional<ColumnLayout> layout = ColumnLayout::select(uiIndex, mode);
    if (!layout)
        return {};
    const std::optional<QList<ColumnUnit>> units = unitsOf(*layout, unitSlots, BuiltInUnitTable::rows());
    if (!units)
        return {};
    return headersOf(*layout, *units, languageFlag);
}
