#include "ColumnModel.h"

#include "BuiltInUnitTable.h"
#include "MeterFacts.h"
#include "MeterKind.h"

#include <optional>

namespace {

struct ColumnUnit
{
    QString text;
    int decimals;
};

// The unit of each measurement column, or nullopt as soon as one slot is missing from the list,
// names no row of the table, or names a row without exactly three fields.
std::optional<QList<ColumnUnit>> unitsOf(const QList<MeterColumn> &columns, const QList<int> &unitSlots,
                                         const UnitCatalog &table)
{
    QList<ColumnUnit> units;
    for (const MeterColumn &column : columns) {
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
    const std::optional<QList<ColumnUnit>> units = unitsOf(columns, unitSlots, unitCatalog);
    if (!units)
        return setup;
    for (const ColumnUnit &unit : *units)
        setup.decimals << unit.decimals;
    setup.titles = titlesOf(*kind, columns, *units);
    setup.titles.append({Text::Operation, QString()});
    return setup;
}

QStringList ColumnModel::exportHeaders(int uiIndex, int mode, const QList<int> &unitSlots, bool chinese)
{
    const MeterKind *kind = MeterKind::find(uiIndex);
    if (!kind)
        return {};
    const QList<MeterColumn> &columns = kind->columns(mode);
    const std::optional<QList<ColumnUnit>> units = unitsOf(columns, unitSlots, BuiltInUnitTable::rows());
    if (!units)
        return {};
    QStringList headers;
    for (const ColumnTitle &title : titlesOf(*kind, columns, *units))
        headers << title.text(chinese);
    return headers;
}
