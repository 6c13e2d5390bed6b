// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowArchive.h"

#include "DownloadArchiver.h"
#include "MeasurementArchive.h"

#include <QSettings>

namespace WindowArchive {

namespace {

QString locationText()
{
    return QSettings().value(QStringLiteral("archive/location")).toString();
}

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

std::optional<QString> archive(const DownloadOrigin &origin, const MeterFlow::Download &download)
{
    if (!QSettings().value(QStringLiteral("archive/enabled"), true).toBool())
        return std::nullopt;
    QString reason;
    const std::unique_ptr<MeasurementArchive> archive = open(reason);
    if (!archive || DownloadArchiver::archive(*archive, origin, download, reason) == 0)
        return reason;
    return std::nullopt;
}

} // namespace WindowArchive
