// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowArchive.h"

#include "DownloadArchiver.h"
#include "MeasurementArchive.h"
#include "TextCatalogue.h"

#include <QCoreApplication>
#include <QDebug>
#include <QPointer>
#include <QSettings>
#include <QThreadPool>

namespace WindowArchive {

namespace {

QString locationText()
{
    return QSettings().value(QStringLiteral("archive/location")).toString();
}

constexpr char enabledKey[] = "archive/enabled";

} // namespace

std::unique_ptr<MeasurementArchive> open(QString &reason, MeasurementArchive::Access access)
{
    return MeasurementArchive::openLocation(locationText(), reason, access);
}

QString filePath()
{
    QString reason;
    const std::optional<ArchiveLocation> location = ArchiveLocation::parseOrDefault(locationText(), reason);
    return location ? location->path : QString();
}

std::optional<bool> switchValue(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    const QString text = value.toString().trimmed().toLower();
    for (const char *yes : {"true", "yes", "on", "1"}) {
        if (text == QLatin1String(yes))
            return true;
    }
    for (const char *no : {"false", "no", "off", "0"}) {
        if (text == QLatin1String(no))
            return false;
    }
    return std::nullopt;
}

bool isEnabled()
{
    return switchValue(QSettings().value(enabledKey, true)).value_or(true);
}

std::optional<QString> settingProblem(bool chinese)
{
    const QVariant value = QSettings().value(enabledKey);
    if (!value.isValid() || switchValue(value))
        return std::nullopt;
    qDebug().noquote() << QStringLiteral("settings: %1=%2 is not understood; the archive stays on")
                              .arg(QLatin1String(enabledKey), value.toString());
    return TextCatalogue::text(Text::ArchiveSettingNotUnderstood, chinese)
        .arg(QLatin1String(enabledKey), value.toString());
}

std::optional<QString> archive(const DownloadOrigin &origin, const MeterFlow::Download &download, qint64 *id)
{
    if (id)
        *id = 0;
    if (!isEnabled())
        return std::nullopt;
    QString reason;
    const std::unique_ptr<MeasurementArchive> archive = open(reason);
    const qint64 stored = archive ? DownloadArchiver::archive(*archive, origin, download, reason) : 0;
    if (id)
        *id = stored;
    if (stored == 0)
        return reason;
    return std::nullopt;
}

namespace {

// Runs a task on the pool. Whatever is still under way when the application object goes (a
// table's last edits, handed on as its window closes) ends before the application takes the
// database connections with it.
void startOnPool(std::function<void()> task)
{
    qRemovePostRoutine(waitForArchiving);
    qAddPostRoutine(waitForArchiving);
    QThreadPool::globalInstance()->start(std::move(task));
}

// Hands `answer` to `done` on the receiver's thread, unless the receiver is gone by then. The
// guard is made and read on the receiver's thread only; the pool thread merely carries it.
void answer(const QPointer<QObject> &guard, std::function<void()> done)
{
    // Without an application object the answer has no one to go to.
    QCoreApplication *application = QCoreApplication::instance();
    if (!application)
        return;
    QMetaObject::invokeMethod(
        application,
        [guard, done = std::move(done)] {
            if (guard)
                done();
        },
        Qt::QueuedConnection);
}

} // namespace

void archiveInBackground(const DownloadOrigin &origin, const MeterFlow::Download &download, QObject *receiver,
                         std::function<void(qint64 id, const std::optional<QString> &notArchived)> done,
                         std::function<void(qint64 id)> archived)
{
    QPointer<QObject> guard(receiver);
    startOnPool([origin, download, guard, done = std::move(done), archived = std::move(archived)]() mutable {
        qint64 id = 0;
        const std::optional<QString> notArchived = archive(origin, download, &id);
        if (archived)
            archived(id);
        answer(guard, [done = std::move(done), id, notArchived] { done(id, notArchived); });
    });
}

void writeInBackground(std::function<bool(MeasurementArchive &archive)> write, QObject *receiver,
                       std::function<void(const std::optional<QString> &notWritten)> done)
{
    QPointer<QObject> guard(receiver);
    const bool told = receiver != nullptr;
    startOnPool([write = std::move(write), guard, told, done = std::move(done)]() mutable {
        const std::optional<QString> notWritten = WindowArchive::write(write);
        if (told)
            answer(guard, [done = std::move(done), notWritten] { done(notWritten); });
    });
}

std::optional<QString> write(const std::function<bool(MeasurementArchive &archive)> &write)
{
    QString reason;
    const std::unique_ptr<MeasurementArchive> archive = open(reason);
    if (!archive)
        return reason;
    archive->setWriteWait(MeasurementArchive::BusyTimeoutMs);
    if (!write(*archive))
        return archive->errorString();
    return std::nullopt;
}

std::optional<ArchiveNotes> notesOf(qint64 id)
{
    if (id <= 0 || !isEnabled())
        return std::nullopt;
    QString reason;
    const std::unique_ptr<MeasurementArchive> archive = open(reason, MeasurementArchive::Access::ReadOnly);
    ArchiveNotes notes;
    if (!archive || !archive->notes(id, notes) || notes.isEmpty())
        return std::nullopt;
    return notes;
}

void waitForArchiving()
{
    QThreadPool::globalInstance()->waitForDone();
}

} // namespace WindowArchive
