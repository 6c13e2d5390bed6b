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

std::optional<QString> archive(const DownloadOrigin &origin, const MeterFlow::Download &download)
{
    if (!isEnabled())
        return std::nullopt;
    QString reason;
    const std::unique_ptr<MeasurementArchive> archive = open(reason);
    if (!archive || DownloadArchiver::archive(*archive, origin, download, reason) == 0)
        return reason;
    return std::nullopt;
}

void archiveInBackground(const DownloadOrigin &origin, const MeterFlow::Download &download, QObject *receiver,
                         std::function<void(const std::optional<QString> &notArchived)> done)
{
    // The guard is made and read on the receiver's thread only; the pool thread merely carries it.
    QPointer<QObject> guard(receiver);
    QThreadPool::globalInstance()->start([origin, download, guard, done = std::move(done)]() mutable {
        const std::optional<QString> notArchived = archive(origin, download);
        // Without an application object the answer has no one to go to.
        QCoreApplication *application = QCoreApplication::instance();
        if (!application)
            return;
        QMetaObject::invokeMethod(
            application,
            [guard, done = std::move(done), notArchived] {
                if (guard)
                    done(notArchived);
            },
            Qt::QueuedConnection);
    });
}

void waitForArchiving()
{
    QThreadPool::globalInstance()->waitForDone();
}

} // namespace WindowArchive
