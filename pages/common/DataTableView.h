#pragma once

#include <QTableView>

class PushButtonDelegate;

// A table view for the pages' models: cells marked as buttons (the delete buttons) are drawn by
// one delegate and their clicks reported with the row; a double click reports its cell, as a
// table widget does.
class DataTableView : public QTableView
{
    Q_OBJECT

public:
    explicit DataTableView(QWidget *parent = nullptr);

Q_SIGNALS:
    void buttonClicked(int row);
    void cellDoubleClicked(int row, int column);

private:
    PushButtonDelegate *buttons;
};
