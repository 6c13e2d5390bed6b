// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// The batches that cover a table of `rows` rows, `size` rows at a time, in order, for a range-for:
// each is [first, first + count). A table without rows still has one, empty, batch: the titles
// come with the first batch.
class Batches
{
public:
    struct Batch
    {
        qint64 first;
        int count;
    };

    class Iterator
    {
    public:
        Iterator(qint64 first, qint64 rows, int size) : first(first), rows(rows), size(size) {}
        Batch operator*() const { return {first, int(qMin<qint64>(size, rows - first))}; }
        Iterator &operator++()
        {
            first += size;
            return *this;
        }
        bool operator!=(const Iterator &other) const { return first != other.first; }

    private:
        qint64 first;
        qint64 rows;
        int size;
    };

    Batches(qint64 rows, int size) : rows(qMax<qint64>(rows, 0)), size(qMax(size, 1)) {}
    Iterator begin() const { return {0, rows, size}; }
    Iterator end() const { return {qMax<qint64>((rows + size - 1) / size, 1) * size, rows, size}; }

private:
    qint64 rows;
    int size;
};
