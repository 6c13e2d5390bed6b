#include "DataTableView.h"

#include "PushButtonDelegate.h"

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
}
