// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <QString>

// Faults the virtual meter injects, read from the "faults" object of a meter image. Requests
// are numbered from 1 in the order the meter receives them. See FAULTS.md.
struct MeterFaults
{
    QList<int> noReply;        // requests left unanswered
    QList<int> badCheck;       // requests answered with a wrong check value
    bool keyInfoError = false; // key-information requests answered with the error reply AB A0 04
    QList<int> strayRequests;  // requests whose reply is preceded by strayBytes
    QByteArray strayBytes;
    QList<int> splitRequests; // requests whose reply is cut into small reports
    int splitPayload = 62;    // payload bytes per report of a split reply
    QList<int> lateRequests;  // requests answered only after lateDelayMs
    int lateDelayMs = 0;
    QList<int> foreignRequests; // requests whose reply follows a report with another report ID
    int foreignReportId = 0x01;
    QList<int> truncateRequests; // requests of which only the first truncateBytes reply bytes are sent
    int truncateBytes = 0;
    QList<int> headerRequests;   // requests whose reply header is overwritten from byte 2 on
    QByteArray headerBytes;      // (the check value is computed over the changed reply)
    int unplugAfterReports = -1; // input reports delivered before the meter disappears; -1 never
    bool sharedDevice = false;   // other programs reach the meter too, so sessions lock it

    bool isEmpty() const;

    // Parses the "faults" value of an image; on failure error names the key and the problem.
    static bool fromJson(const QJsonValue &value, MeterFaults &faults, QString &error);
};
