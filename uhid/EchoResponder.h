#pragma once

#include "ReportResponder.h"

// Answers every output report with an input report of the same bytes.
class EchoResponder : public ReportResponder
{
public:
    void receiveOutputReport(const QByteArray &report) override { m_pending.append(report); }
    QList<QByteArray> takeInputReports() override
    {
        QList<QByteArray> out;
        out.swap(m_pending);
        return out;
    }

private:
    QList<QByteArray> m_pending;
};
