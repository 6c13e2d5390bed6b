// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TableEdits.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

class MeasurementArchive;
class QAbstractItemModel;

// Keeps the archive entry of a download in step with the window's table of it: each change of
// the table (a name typed, rows deleted or brought back, a curve ticked) is saved as the download's
// edits shortly after it happens, without a save button. Only what changed since the last save
// goes out, on a thread of the pool, so that a slow or locked archive never holds up the window;
// writes of one table land in the order they were made. A change that cannot be saved stays in the
// table, goes out again with the next one, and is told once (saveFailed) until a save succeeds.
//
// The download's archive id comes when archiving ends; changes made before wait for it, even when
// the saver goes first (its window closed): archiving then writes them as soon as it has the id
// (whenArchived), so that they end with archiving, which the program waits for as it ends. When the
// table is about to be emptied or replaced, the saver saves what is left and stops following it.
class TableEditSaver : public QObject
{
    Q_OBJECT

public:
    // Changes shortly after one another (several rows deleted one by one) go out together.
    static constexpr int SaveDelayMs = 200;

    // Follows `table` from now on; `state` reads it (TableEdits::stateOf). What it shows now is
    // what the archive holds.
    TableEditSaver(QAbstractItemModel &table, std::function<TableEdits::TableState()> state, QObject *parent);
    ~TableEditSaver() override;

    // The download's archive id, once archiving gave it (0: it was not archived; nothing is saved).
    void setDownload(qint64 id);
    qint64 download() const { return id; }
    bool isFollowing() const { return following; }
    // To be handed to archiving with the download (WindowArchive::archiveInBackground's
    // `archived`): run on the pool thread once the download is archived, it writes the changes
    // that a saver gone before the id came left behind.
    std::function<void(qint64 id)> whenArchived() const;

    // Saves what the table changed and stops following it (it is about to be emptied or closed).
    void finish();
    // Stops following the table and gives up what it did not save (its download is being deleted).
    void abandon();
    // Forgets every edit of the download in the archive (the table's unsaved changes included)
    // and stops following the table; `done` gets nullopt, or why it failed, on this thread.
    void restoreOriginal(std::function<void(const std::optional<QString> &notRestored)> done);

Q_SIGNALS:
    // A change could not be saved; told once until a save succeeds again.
    void saveFailed(const QString &reason);

private:
    struct WriteOrder;
    struct Handover;

    void tableChanged();
    void stopFollowing();
    void save();
    void saved(quint64 sequence, const TableEdits::TableState &state, const std::optional<QString> &notSaved);
    // Writes in the order of their sequence numbers: a write overtaken by a later one is dropped.
    std::function<bool(MeasurementArchive &)> ordered(std::function<bool(MeasurementArchive &)> write);
    // Once nothing is left to do for a table no longer followed.
    void endWhenDone();

    QPointer<QAbstractItemModel> table;
    std::function<TableEdits::TableState()> state;
    QList<QMetaObject::Connection> connections;
    QTimer delay;
    bool following = true;
    qint64 id = -1; // -1: archiving has not ended yet
    TableEdits::TableState savedState;  // as the archive holds it
    TableEdits::TableState latestState; // as the table was when last read
    std::shared_ptr<WriteOrder> order;
    std::shared_ptr<Handover> handover;
    quint64 sequence = 0;       // of the last write started
    quint64 savedSequence = 0;  // of the last write known to have landed
    int writing = 0;            // writes started whose answer has not come
    bool told = false;          // the failure was told
};
