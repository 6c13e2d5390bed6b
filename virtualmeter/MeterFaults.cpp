// SPDX-License-Identifier: GPL-3.0-or-later
#include "MeterFaults.h"

#include "ImageJson.h"
#include "MeterFacts.h"

#include <QJsonObject>

#include <utility>

namespace {

// Checks that object holds only the allowed keys and every required one.
bool checkKeys(const QJsonObject &object, const QString &prefix, const QStringList &allowed,
               const QStringList &required, QString &error)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!allowed.contains(it.key())) {
            error = QStringLiteral("%1%2: unknown key").arg(prefix, ImageJson::excerpt(it.key()));
            return false;
        }
    }
    for (const QString &key : required) {
        if (!object.contains(key)) {
            error = QStringLiteral("%1%2: required key missing").arg(prefix, key);
            return false;
        }
    }
    return true;
}

bool toObject(const QJsonValue &value, const QString &key, QJsonObject &object, QString &error)
{
    if (!value.isObject()) {
        error = QStringLiteral("%1: expected an object").arg(key);
        return false;
    }
    object = value.toObject();
    return true;
}

// A fault object of the form {"requests": [...], "<field>": integer}.
bool readRequestsWith(const QJsonObject &faultsObject, const QString &name, const QString &field, qint64 min,
                      qint64 max, QList<int> &requests, int &value, QString &error)
{
    const QString prefix = QStringLiteral("faults.") + name;
    QJsonObject object;
    qint64 number = 0;
    if (!toObject(faultsObject.value(name), prefix, object, error)
        || !checkKeys(object, prefix + QLatin1Char('.'), {QStringLiteral("requests"), field},
                      {QStringLiteral("requests"), field}, error)
        || !ImageJson::toRequestList(object.value(QLatin1String("requests")), prefix + QStringLiteral(".requests"),
                                     requests, error)
        || !ImageJson::toInteger(object.value(field), prefix + QLatin1Char('.') + field, min, max, number, error))
        return false;
    value = int(number);
    return true;
}

// A fault object of the form {"requests": [...], "bytes": "<2 to 512 hex digits>"}.
bool readRequestsWithBytes(const QJsonObject &faultsObject, const QString &name, QList<int> &requests,
                           QByteArray &bytes, QString &error)
{
    const QString prefix = QStringLiteral("faults.") + name;
    QJsonObject object;
    if (!toObject(faultsObject.value(name), prefix, object, error)
        || !checkKeys(object, prefix + QLatin1Char('.'), {QStringLiteral("requests"), QStringLiteral("bytes")},
                      {QStringLiteral("requests"), QStringLiteral("bytes")}, error)
        || !ImageJson::toRequestList(object.value(QLatin1String("requests")), prefix + QStringLiteral(".requests"),
                                     requests, error))
        return false;
    const QJsonValue value = object.value(QLatin1String("bytes"));
    const int digits = int(value.toString().size());
    if (!value.isString() || digits == 0 || digits % 2 != 0 || digits > 512) {
        error = prefix + QStringLiteral(".bytes: expected an even number of hexadecimal digits, 2 to 512");
        return false;
    }
    return ImageJson::toHexBytes(value, prefix + QStringLiteral(".bytes"), digits / 2, bytes, error);
}

} // namespace

bool MeterFaults::isEmpty() const
{
    return noReply.isEmpty() && badCheck.isEmpty() && !keyInfoError && strayRequests.isEmpty()
           && splitRequests.isEmpty() && lateRequests.isEmpty() && foreignRequests.isEmpty()
           && truncateRequests.isEmpty() && headerRequests.isEmpty() && unplugAfterReports < 0 && !sharedDevice;
}

bool MeterFaults::fromJson(const QJsonValue &value, MeterFaults &faults, QString &error)
{
    using namespace ImageJson;
    faults = MeterFaults();
    QJsonObject object;
    if (!toObject(value, QStringLiteral("faults"), object, error))
        return false;
    const QStringList known{QStringLiteral("noReply"),       QStringLiteral("badCheck"),
                            QStringLiteral("keyInfoError"),  QStringLiteral("strayBytes"),
                            QStringLiteral("splitReply"),    QStringLiteral("lateReply"),
                            QStringLiteral("foreignReport"), QStringLiteral("truncateReply"),
                            QStringLiteral("headerBytes"),   QStringLiteral("unplugAfterReports"),
                            QStringLiteral("sharedDevice")};
    if (!checkKeys(object, QStringLiteral("faults."), known, {}, error))
        return false;

    if (object.contains(QLatin1String("noReply"))
        && !toRequestList(object.value(QLatin1String("noReply")), QStringLiteral("faults.noReply"), faults.noReply,
                          error))
        return false;
    if (object.contains(QLatin1String("badCheck"))
        && !toRequestList(object.value(QLatin1String("badCheck")), QStringLiteral("faults.badCheck"), faults.badCheck,
                          error))
        return false;
    for (const auto &[key, flag] : {std::pair{QStringLiteral("keyInfoError"), &faults.keyInfoError},
                                    std::pair{QStringLiteral("sharedDevice"), &faults.sharedDevice}}) {
        if (!object.contains(key))
            continue;
        if (!object.value(key).isBool()) {
            error = QStringLiteral("faults.%1: expected true or false").arg(key);
            return false;
        }
        *flag = object.value(key).toBool();
    }
    if (object.contains(QLatin1String("strayBytes"))
        && !readRequestsWithBytes(object, QStringLiteral("strayBytes"), faults.strayRequests, faults.strayBytes, error))
        return false;
    if (object.contains(QLatin1String("headerBytes"))
        && !readRequestsWithBytes(object, QStringLiteral("headerBytes"), faults.headerRequests, faults.headerBytes,
                                  error))
        return false;
    if (object.contains(QLatin1String("splitReply"))
        && !readRequestsWith(object, QStringLiteral("splitReply"), QStringLiteral("payloadPerReport"), 1, 62,
                             faults.splitRequests, faults.splitPayload, error))
        return false;
    if (object.contains(QLatin1String("lateReply"))
        && !readRequestsWith(object, QStringLiteral("lateReply"), QStringLiteral("delayMs"), 0, 600000,
                             faults.lateRequests, faults.lateDelayMs, error))
        return false;
    if (object.contains(QLatin1String("foreignReport"))
        && !readRequestsWith(object, QStringLiteral("foreignReport"), QStringLiteral("reportId"), 1, 255,
                             faults.foreignRequests, faults.foreignReportId, error))
        return false;
    if (faults.foreignReportId == MeterFacts::ReportId) {
        error = QStringLiteral("faults.foreignReport.reportId: must differ from the meter's report ID 63");
        return false;
    }
    if (object.contains(QLatin1String("truncateReply"))
        && !readRequestsWith(object, QStringLiteral("truncateReply"), QStringLiteral("bytes"), 0, 0xFFFF,
                             faults.truncateRequests, faults.truncateBytes, error))
        return false;
    if (object.contains(QLatin1String("unplugAfterReports"))) {
        qint64 reports = 0;
        if (!toInteger(object.value(QLatin1String("unplugAfterReports")), QStringLiteral("faults.unplugAfterReports"),
                       0, 0x7FFFFFFF, reports, error))
            return false;
        faults.unplugAfterReports = int(reports);
    }
    return true;
}
