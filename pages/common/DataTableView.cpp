// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataTableView.h"

#include "PushButtonDelegate.h"
#include "TableRoles.h"

#include <QAction>
#include <QEvent>
#include <QHeaderView>

#include <QItemSelectionModel>
#include <QScrollBar>

#include <algorithm>
#include <functional>

namespace {

const char buttonStyleSheet[] = "min-height:12px;padding:0px;";

} // namespace

DataTableView::DataTableView(QWidget *parent)
    : QTableView(parent),
      buttons(new PushButtonDelegate(QString::fromLatin1(buttonStyleSheet), this))
{
    // Every cell goes through the delegate, which draws button cells itself and hands the others on.
    setItemDelegate(buttons);
    connect(buttons, &PushButtonDelegate::clicked, this,
            [this](const QModelIndex &index) { Q_EMIT buttonClicked(index.row()); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { Q_EMIT cellDoubleClicked(index.row(), index.column()); });
    // The widths come from fitColumns alone, as it computes them: the header's own minimum (about
    // the height of a line) would widen the narrow columns past the viewport.
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(1);
    // Tab leaves the table for the next control instead of walking its cells: a table of many
    // rows would otherwise keep the keyboard for good.
    setTabKeyNavigation(false);
}

void DataTableView::enableRowDeletion(const QString &actionText)
{
    if (!deleteRows) {
        deleteRows = new QAction(this);
        deleteRows->setObjectName(QStringLiteral("action_deleteRows"));
        deleteRows->setShortcut(QKeySequence::Delete);
        deleteRows->setShortcutContext(Qt::WidgetShortcut);
        connect(deleteRows, &QAction::triggered, this, [this] {
            const QList<int> rows = selectedRowsDescending();
            if (!rows.isEmpty())
                Q_EMIT deleteRowsRequested(rows);
        });
        addAction(deleteRows);
        setContextMenuPolicy(Qt::ActionsContextMenu);
    }
    deleteRows->setText(actionText);
}

QList<int> DataTableView::selectedRowsDescending() const
{
    QList<int> rows;
    if (const QItemSelectionModel *selection = selectionModel()) {
        for (const QModelIndex &index : selection->selectedIndexes())
            rows.append(index.row());
        // Only the current row when nothing is selected (the keyboard's cursor).
        if (rows.isEmpty() && selection->currentIndex().isValid())
            rows.append(selection->currentIndex().row());
    }
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void DataTableView::setModel(QAbstractItemModel *model)
{
    for (const QMetaObject::Connection &connection : std::as_const(modelConnections))
        disconnect(connection);
    modelConnections.clear();
    QTableView::setModel(model);
    if (!model)
        return;
    // Anything that can change a title or a cell text can change the widths they need.
    const auto fitOn = [this, model](auto signal) {
        modelConnections.append(connect(model, signal, this, &DataTableView::scheduleFit));
    };
    fitOn(&QAbstractItemModel::modelReset);
    fitOn(&QAbstractItemModel::layoutChanged);
    fitOn(&QAbstractItemModel::rowsInserted);
    fitOn(&QAbstractItemModel::rowsRemoved);
    fitOn(&QAbstractItemModel::columnsInserted);
    fitOn(&QAbstractItemModel::columnsRemoved);
    // A tick or an untick changes no width; measuring ten thousand rows again for it would hold the
    // window up.
    modelConnections.append(connect(model, &QAbstractItemModel::dataChanged, this,
                                    [this](const QModelIndex &, const QModelIndex &, const QList<int> &roles) {
                                        if (roles.isEmpty() || roles.contains(Qt::DisplayRole)
                                            || roles.contains(Qt::EditRole))
                                            scheduleFit();
                                    }));
    fitOn(&QAbstractItemModel::headerDataChanged);
    scheduleFit();
}

void DataTableView::scheduleFit()
{
    // Many changes in one go (a download, a language switch) cost one fit.
    if (fitPending)
        return;
    fitPending = true;
    QMetaObject::invokeMethod(this, &DataTableView::fitColumns, Qt::QueuedConnection);
}

QList<int> DataTableView::naturalWidths(QList<int> *widening) const
{
    const int columns = model() ? model()->columnCount(rootIndex()) : 0;
    const QHeaderView *header = horizontalHeader();
    // A column of short values still gets room for five digits.
    const int minimum = fontMetrics().horizontalAdvance(QStringLiteral("00000"));
    QList<int> widths(qMax(columns, 0));
    for (int c = 0; c < columns; ++c) {
        // A hidden column takes no room.
        if (isColumnHidden(c))
            continue;
        int width = sizeHintForColumn(c);
        const QVariant widest = model()->headerData(c, Qt::Horizontal, WidestColumnRole);
        if (widest.isValid())
            width = qMin(width, fontMetrics().horizontalAdvance(QLatin1Char('M')) * widest.toInt());
        if (!header->isHidden())
            width = qMax(width, header->sectionSizeHint(c));
        if (!model()->headerData(c, Qt::Horizontal, CompactColumnRole).toBool()) {
            width = qMax(width, minimum);
            if (widening)
                widening->append(c);
        }
        widths[c] = width;
    }
    return widths;
}

int DataTableView::naturalWidth() const
{
    int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    for (const int column : naturalWidths())
        width += column;
    return width;
}

void DataTableView::fitColumns()
{
    fitPending = false;
    const int columns = model() ? model()->columnCount(rootIndex()) : 0;
    if (columns <= 0)
        return;
    QHeaderView *header = horizontalHeader();
    QList<int> widening; // the columns that share the spare width
    QList<int> widths = naturalWidths(&widening);
    int spare = viewport()->width();
    for (const int width : std::as_const(widths))
        spare -= width;
    if (spare < 0)
        spare = narrowNames(widths, -spare);
    if (spare > 0 && !widening.isEmpty()) {
        // Widest first: a column wider than the common width the rest would get keeps its width.
        std::sort(widening.begin(), widening.end(), [&widths](int a, int b) { return widths[a] > widths[b]; });
        int room = spare;
        for (const int c : std::as_const(widening))
            room += widths[c];
        int left = int(widening.size());
        for (const int c : std::as_const(widening)) {
            const int common = room / left;
            const int width = qMax(widths[c], common + (room % left ? 1 : 0));
            room -= width;
            --left;
            widths[c] = width;
        }
    }
    for (int c = 0; c < columns; ++c) {
        if (!isColumnHidden(c))
            header->resizeSection(c, widths[c]);
    }
}

int DataTableView::narrowNames(QList<int> &widths, int excess) const
{
    // Names typed by users are cut (their tooltips show them whole) before the figures beside
    // them go behind a scroll bar; a name keeps its title and five characters.
    const QHeaderView *header = horizontalHeader();
    const int floor = fontMetrics().horizontalAdvance(QStringLiteral("00000"));
    for (int c = 0; c < widths.size() && excess > 0; ++c) {
        if (isColumnHidden(c) || !model()->headerData(c, Qt::Horizontal, WidestColumnRole).isValid())
            continue;
        const int narrowest = qMax(floor, header->isHidden() ? 0 : header->sectionSizeHint(c));
        const int taken = qBound(0, widths[c] - narrowest, excess);
        widths[c] -= taken;
        excess -= taken;
    }
    return -excess;
}

void DataTableView::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    fitColumns();
}

void DataTableView::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        scheduleFit();
}
