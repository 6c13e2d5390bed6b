// SPDX-License-Identifier: GPL-3.0-or-later
#include "VirtualMeterOption.h"

#include "MeterImage.h"
#include "VirtualMeter.h"
#include "VirtualMeterTransport.h"

#include <QCoreApplication>
#include <QFileInfo>

bool VirtualMeterOption::requested(const QStringList &arguments, QString &imagePath)
{
    const QString name = QLatin1String(option);
    const QString withValue = name + QLatin1Char('=');
    for (const QString &argument : arguments) {
        if (argument == name) {
            imagePath = defaultImage();
            return true;
        }
        if (argument.startsWith(withValue)) {
            imagePath = argument.mid(withValue.size());
            return true;
        }
    }
    return false;
}

QString VirtualMeterOption::defaultImage()
{
    const QStringList candidates{
        QCoreApplication::applicationDirPath() + QStringLiteral("/meters/kind1.json"),
        QStringLiteral(LUMIVANE_DATA_DIR "/meters/kind1.json"),
    };
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return QString();
}

bool VirtualMeterOption::makeFactory(const QString &imagePath, TransportFactory &factory, QString &error)
{
    if (imagePath.isEmpty()) {
        error = QStringLiteral("no meter image found (give one as %1=IMAGE)").arg(QLatin1String(option));
        return false;
    }
    MeterImage image;
    if (!MeterImage::fromFile(imagePath, image, error)) {
        // Errors about the file itself start with its name already; those about its content do not.
        const QString named = imagePath + QStringLiteral(": ");
        if (!error.startsWith(named))
            error.prepend(named);
        return false;
    }
    auto meter = std::make_shared<VirtualMeter>(image);
    factory = [meter]() -> std::unique_ptr<HidReportTransport> {
        return std::make_unique<VirtualMeterTransport>(meter);
    };
    return true;
}
