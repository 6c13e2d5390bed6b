#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

// Reads an .xlsx workbook back with python3-openpyxl: every sheet's name and extent, and each
// cell that holds a value or a style, with the value's type, number format and alignment.
class OpenpyxlReader
{
public:
    enum class Kind {
        Blank, // no value, but a style of its own
        Text,
        Number,
        Other
    };
    struct Cell
    {
        Kind kind = Kind::Blank;
        QVariant value;
        QString numberFormat;
        QString horizontalAlignment; // openpyxl's name ("center"), empty when not set
    };
    struct Sheet
    {
        QString name;
        int rows = 0; // openpyxl's max_row and max_column
        int columns = 0;
        QHash<QPair<int, int>, Cell> cells; // 0-based (row, column)

        bool has(int row, int column) const { return cells.contains({row, column}); }
        Cell cell(int row, int column) const { return cells.value({row, column}); }
    };

    // Runs openpyxl on the file; false with the reason in error() when it fails.
    bool read(const QString &fileName);
    QString error() const { return failure; }
    const QList<Sheet> &sheets() const { return sheetList; }

private:
    QString failure;
    QList<Sheet> sheetList;
};
