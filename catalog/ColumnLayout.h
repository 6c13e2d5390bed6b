#pragma once

#include <QList>
#include <QString>

#include <optional>

// One measurement column of the records table: the unit slot whose unit it shows and its title
// in both languages (UTF-8 literals).
struct MeasurementColumn
{
    int slot;
    const char *chineseTitle;
    const char *englishTitle;

    QString title(bool chinese) const;
};

// The columns of the records table for one meter kind and mode. Kinds 4 and 6 start with a
// "Test Name" column; every layout ends with the "Operation" column of the delete buttons. Neither
// has a unit slot, so neither is listed in `columns`.
struct ColumnLayout
{
    bool testNameFirst = false;
    QList<MeasurementColumn> columns;

    // nullopt for a meter kind outside 1..6. Only mode 1 is told apart (the PPFD layouts of kinds 1 and 4).
    static std::optional<ColumnLayout> select(int uiIndex, int mode);

    static QString testNameTitle(bool chinese);
    static QString operationTitle(bool chinese);
};
