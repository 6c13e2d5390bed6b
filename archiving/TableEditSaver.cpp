// SPDX-License-Identifier: GPL-3.0-or-later
#include "TableEditSaver.h"

#include "MeasurementArchive.h"
#include "WindowArchive.h"

#include <QAbstractItemModel>
#include <QDebug>

#include <mutex>

struct TableEditSaver::WriteOrder
{
    std::mutex mutex;
    quint64 written = 0; // the sequence number of the last write that landed
};

// Between the saver and the archiving of its download on the pool: whichever ends first leaves
// what the other needs (the id, or the changes still to be written).
struct TableEditSaver::Handover
{
    std::mutex mutex;
    qint64 id = -1;            // -1: archiving has not ended yet
    QList<RecordEdit> waiting; // left by a saver gone before the id came
};

TableEditSaver::TableEditSaver(QAbstractItemModel &followed, std::function<TableEdits::TableState()> readState,
                               QObject *parent)
    : QObject(parent),
      table(&followed),
      state(std::move(readState)),
      order(std::make_shared<WriteOrder>()),
      handover(std::make_shared<Handover>())
{
    savedState = latestState = state();
    delay.setSingleShot(true);
    delay.setInterval(SaveDelayMs);
    connect(&delay, &QTimer::timeout, this, &TableEditSaver::save);
    const auto changed = [this] { tableChanged(); };
    connections = {connect(&followed, &QAbstractItemModel::dataChanged, this, changed),
                   connect(&followed, &QAbstractItemModel::rowsRemoved, this, changed),
                   connect(&followed, &QAbstractItemModel::rowsInserted, this, changed),
                   // Emptied or replaced: the rows as they were are the last state to keep.
                   connect(&followed, &QAbstractItemModel::modelAboutToBeReset, this, &TableEditSaver::finish),
                   connect(&followed, &QObject::destroyed, this, &TableEditSaver::stopFollowing)};
}

TableEditSaver::~TableEditSaver()
{
    // The window closes: what was not saved yet still goes, with nobody left to tell.
    const QList<RecordEdit> edits = TableEdits::changes(savedState, latestState);
    if (id == 0 || edits.isEmpty())
        return;
    qint64 download = id;
    if (download < 0) {
        // The id may have reached the pool while its answer is still on its way here.
        const std::lock_guard<std::mutex> lock(handover->mutex);
        if (handover->id < 0) {
            handover->waiting = edits; // written by archiving as it ends
            return;
        }
        download = handover->id;
    }
    if (download > 0)
        WindowArchive::writeInBackground(
            ordered([download, edits](MeasurementArchive &archive) { return archive.saveEdits(download, edits); }),
            nullptr, {});
}

std::function<void(qint64 id)> TableEditSaver::whenArchived() const
{
    return [handover = handover](qint64 archived) {
        QList<RecordEdit> waiting;
        {
            const std::lock_guard<std::mutex> lock(handover->mutex);
            handover->id = archived;
            waiting.swap(handover->waiting);
        }
        if (archived <= 0 || waiting.isEmpty())
            return;
        // The window that made these changes is gone: the log is the only one left to tell.
        const std::optional<QString> notSaved = WindowArchive::write(
            [archived, &waiting](MeasurementArchive &archive) { return archive.saveEdits(archived, waiting); });
        if (notSaved)
            qWarning().noquote() << QStringLiteral("archive: the edits of download %1 were not saved: %2")
                                        .arg(archived)
                                        .arg(*notSaved);
    };
}

void TableEditSaver::setDownload(qint64 downloadId)
{
    id = downloadId;
    if (id > 0)
        save();
    endWhenDone();
}

void TableEditSaver::tableChanged()
{
    if (following)
        delay.start();
}

void TableEditSaver::stopFollowing()
{
    following = false;
    delay.stop();
    for (const QMetaObject::Connection &connection : std::as_const(connections))
        disconnect(connection);
    connections.clear();
    table = nullptr;
}

void TableEditSaver::finish()
{
    if (!following)
        return;
    latestState = TableEdits::follow(savedState, state());
    stopFollowing();
    save();
    endWhenDone();
}

std::function<bool(MeasurementArchive &)> TableEditSaver::ordered(std::function<bool(MeasurementArchive &)> write)
{
    return [order = order, number = ++sequence, write = std::move(write)](MeasurementArchive &archive) {
        const std::lock_guard<std::mutex> lock(order->mutex);
        // A later write landed first: it holds everything this one would have written.
        if (number < order->written)
            return true;
        if (!write(archive))
            return false;
        order->written = number;
        return true;
    };
}

void TableEditSaver::save()
{
    delay.stop();
    if (following)
        latestState = TableEdits::follow(savedState, state());
    // Every change not known to have landed goes out again: a write repeats what an earlier one
    // may already have written, never less.
    const QList<RecordEdit> edits = TableEdits::changes(savedState, latestState);
    if (id <= 0 || edits.isEmpty())
        return;
    ++writing;
    const TableEdits::TableState written = latestState;
    auto write = ordered([id = id, edits](MeasurementArchive &archive) { return archive.saveEdits(id, edits); });
    WindowArchive::writeInBackground(std::move(write), this,
                                     [this, number = sequence, written](const std::optional<QString> &notSaved) {
                                         saved(number, written, notSaved);
                                     });
}

void TableEditSaver::saved(quint64 number, const TableEdits::TableState &written,
                           const std::optional<QString> &notSaved)
{
    --writing;
    if (notSaved) {
        if (!told) {
            told = true;
            Q_EMIT saveFailed(*notSaved);
        }
    } else if (number > savedSequence) {
        savedSequence = number;
        savedState = written;
        told = false;
    }
    endWhenDone();
}

void TableEditSaver::abandon()
{
    stopFollowing();
    savedState = latestState;
    told = true; // a write already under way may fail on the download's going: nothing to tell
    endWhenDone();
}

void TableEditSaver::restoreOriginal(std::function<void(const std::optional<QString> &notRestored)> done)
{
    stopFollowing();
    savedState = latestState; // the table's unsaved changes are given up
    ++writing;
    auto write = ordered([id = id](MeasurementArchive &archive) { return archive.clearEdits(id); });
    WindowArchive::writeInBackground(std::move(write), this,
                                     [this, done = std::move(done)](const std::optional<QString> &notRestored) {
                                         --writing;
                                         done(notRestored);
                                         endWhenDone();
                                     });
}

void TableEditSaver::endWhenDone()
{
    // A table still followed, a download whose id has not come, and a write not yet answered keep
    // the saver; unsaved changes of a table no longer followed go with the saver when the window goes.
    if (following || id < 0 || writing > 0)
        return;
    if (id == 0 || TableEdits::changes(savedState, latestState).isEmpty())
        deleteLater();
}
