// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Meter images and sessions for the link, protocol and virtual-meter tests.

#include "MeterImage.h"
#include "MeterSession.h"
#include "VirtualMeterTransport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <memory>

namespace TestMeters {

inline QString samplePath(const QString &name)
{
    return QStringLiteral(LUMIVANE_SAMPLES_DIR "/meters/") + name;
}

inline MeterImage sample(const QString &name)
{
    MeterImage image;
    QString error;
    if (!MeterImage::fromFile(samplePath(name), image, error))
        qFatal("sample image %s does not load: %s", qPrintable(name), qPrintable(error));
    return image;
}

// The sample with the given faults object (JSON text) in place of its own.
inline MeterImage withFaults(const QString &name, const QByteArray &faultsJson)
{
    MeterImage image = sample(name);
    QString error;
    const QJsonValue faults = QJsonDocument::fromJson(faultsJson).object();
    if (!MeterFaults::fromJson(faults, image.faults, error))
        qFatal("faults %s refused: %s", faultsJson.constData(), qPrintable(error));
    return image;
}

// Opens the session on a virtual meter playing image; returns the meter for inspection.
inline std::shared_ptr<VirtualMeter> open(MeterSession &session, const MeterImage &image,
                                          const VirtualTiming &timing = VirtualTiming::instant())
{
    auto meter = std::make_shared<VirtualMeter>(image, timing);
    if (!session.openUsb(std::make_unique<VirtualMeterTransport>(meter)))
        qFatal("virtual meter did not open");
    return meter;
}

// The frame with its check value appended, low byte first.
inline QByteArray withCheck(QByteArray frame)
{
    const quint16 crc = MeterTransactions::crc16(frame, int(frame.size()));
    frame.append(char(crc & 0xFF));
    frame.append(char(crc >> 8));
    return frame;
}

inline QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

} // namespace TestMeters
