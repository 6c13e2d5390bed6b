#pragma once

#include <QByteArray>
#include <QList>

// What answers the output reports of a UHID device: each output report (report ID first) goes in,
// and the input reports it caused come out, in order.
class ReportResponder
{
public:
    virtual ~ReportResponder() = default;
    virtual void receiveOutputReport(const QByteArray &report) = 0;
    virtual QList<QByteArray> takeInputReports() = 0;
};
