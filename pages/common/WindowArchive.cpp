#include "WindowArchive.h"

#include "DownloadArchiver.h"
#include "MeasurementArchive.h"

#include <QSettings>

namespace WindowArchive {

std::unique_ptr<MeasurementArchive> open(QString &reason)
{
    ArchiveLocation location = ArchiveLocation::defaultLocation();
    const QString configured = QSettings().value(QStringLiteral("archive/location")).toString();
    if (!configured.isEmpty()) {
        const std::optional<ArchiveLocation> given = ArchiveLocation::parse(configured, reason);
        if (!given)
            return nullptr;
        location = *given;
    }
    auto archive = std::make_unique<MeasurementArchive>(location);
    if (!archive->open()) {
        reason = archive->errorString();
        return nullptr;
    }
    return archive;
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
