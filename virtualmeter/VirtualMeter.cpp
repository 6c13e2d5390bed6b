// SPDX-License-Identifier: GPL-3.0-or-later
#include "VirtualMeter.h"

#include "MeterFacts.h"

#include <QtEndian>

#include <algorithm>

namespace {

constexpr quint8 FrameStart = 0xAB;

// The firmware's own CRC-16/MODBUS (initial 0xFFFF, reflected polynomial 0xA001).
quint16 firmwareCrc(const char *data, int length)
{
    quint16 crc = 0xFFFF;
    for (int i = 0; i < length; ++i) {
        crc ^= quint8(data[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

// Request length by command byte: short form 0x20 (8 bytes with check value), long form
// 0x40/0x41 (10 bytes); 0 for anything else.
int requestLength(quint8 command)
{
    if (command == 0x20)
        return 8;
    if (command == 0x40 || command == 0x41)
        return 10;
    return 0;
}

void appendLe16(QByteArray &out, quint16 value)
{
    out.append(char(value & 0xFF));
    out.append(char(value >> 8));
}

void appendLe32(QByteArray &out, quint32 value)
{
    appendLe16(out, quint16(value & 0xFFFF));
    appendLe16(out, quint16(value >> 16));
}

bool isKeyInfoRequest(const QByteArray &frame)
{
    return quint8(frame.at(1)) == 0x20 && qFromLittleEndian<quint16>(frame.constData() + 2) == 0x0005
           && qFromLittleEndian<quint16>(frame.constData() + 4) == 0x0012;
}

} // namespace

VirtualMeter::VirtualMeter(const MeterImage &image, const VirtualTiming &timing)
    : meterImage(image),
      timingModel(timing)
{
    clock.start();
    if (meterImage.faults.unplugAfterReports == 0)
        unplugged = true;
}

QString VirtualMeter::serialString() const
{
    return QString::number(meterImage.serialNo);
}

qint64 VirtualMeter::nowUs() const
{
    return clock.nsecsElapsed() / 1000;
}

void VirtualMeter::unplug()
{
    unplugged = true;
    input.clear();
}

qint64 VirtualMeter::linkBoundUs() const
{
    return qint64(outputReports + inputReports) * timingModel.frameUs + qint64(replies) * timingModel.turnaroundUs;
}

quint8 VirtualMeter::memoryByte(quint32 address) const
{
    if (address >= 0x80000000u && address < 0xC0000000u) {
        const quint32 offset = address - 0x80000000u;
        return offset < quint32(meterImage.recordMemory.size()) ? quint8(meterImage.recordMemory.at(offset)) : 0;
    }
    if (address >= 0xC0000000u) {
        const quint32 offset = address - 0xC0000000u;
        return offset < quint32(meterImage.nameMemory.size()) ? quint8(meterImage.nameMemory.at(offset)) : 0;
    }
    return 0;
}

void VirtualMeter::receiveOutputReport(const QByteArray &report)
{
    if (unplugged || report.size() < 2 || quint8(report.at(0)) != MeterFacts::ReportId)
        return;
    ++outputReports;
    const int count = std::min({int(quint8(report.at(1))), MeterFacts::MaxPayload, int(report.size()) - 2});
    recentPayloads.append(count);
    if (recentPayloads.size() > RecentPayloadLimit)
        recentPayloads.removeFirst();
    requestBytes.append(report.constData() + 2, count);

    // Cut complete requests out of the received bytes; anything that cannot start a request is
    // dropped so that the meter finds the next start byte.
    const qint64 now = nowUs();
    for (;;) {
        const int start = int(requestBytes.indexOf(char(FrameStart)));
        requestBytes.remove(0, start < 0 ? requestBytes.size() : start);
        if (requestBytes.size() < 2)
            return;
        const int length = requestLength(quint8(requestBytes.at(1)));
        if (length == 0) {
            requestBytes.remove(0, 1);
            continue;
        }
        if (requestBytes.size() < length)
            return;
        const QByteArray frame = requestBytes.left(length);
        requestBytes.remove(0, length);
        handleRequest(frame, now);
    }
}

void VirtualMeter::handleRequest(const QByteArray &frame, qint64 arrivedUs)
{
    const int number = ++requests;
    const int bodyLength = int(frame.size()) - 2;
    if (qFromLittleEndian<quint16>(frame.constData() + bodyLength) != firmwareCrc(frame.constData(), bodyLength))
        return; // a request with a wrong check value gets no reply
    const MeterFaults &faults = meterImage.faults;
    if (faults.noReply.contains(number))
        return;

    QByteArray reply;
    if (faults.keyInfoError && isKeyInfoRequest(frame)) {
        reply.append(char(FrameStart));
        reply.append(char(0xA0));
        reply.append(char(0x04));
    } else {
        reply = replyFor(frame);
    }
    if (faults.headerRequests.contains(number)) {
        const int count = std::min(int(faults.headerBytes.size()), int(reply.size()) - 2);
        if (count > 0)
            reply.replace(2, count, faults.headerBytes.left(count));
    }
    quint16 crc = firmwareCrc(reply.constData(), int(reply.size()));
    if (faults.badCheck.contains(number))
        crc ^= 0xFFFF;
    appendLe16(reply, crc);
    if (faults.strayRequests.contains(number))
        reply.prepend(faults.strayBytes);
    if (faults.truncateRequests.contains(number))
        reply.truncate(faults.truncateBytes);

    const int payload = faults.splitRequests.contains(number) ? faults.splitPayload : MeterFacts::MaxPayload;
    qint64 due = arrivedUs + (timingModel.fullSpeed ? timingModel.turnaroundUs : 0);
    if (faults.lateRequests.contains(number))
        due += qint64(faults.lateDelayMs) * 1000;
    if (faults.foreignRequests.contains(number))
        queueReport(quint8(faults.foreignReportId), reply.left(MeterFacts::MaxPayload), due);
    queueReply(reply, payload, due);
}

// Reply: @0 0xAB, @1 the request's command byte, the request's address and length fields,
// the data; the caller appends the check value.
QByteArray VirtualMeter::replyFor(const QByteArray &frame) const
{
    const quint8 command = quint8(frame.at(1));
    QByteArray reply = frame.left(command == 0x20 ? 6 : 8);
    if (command == 0x20) {
        const quint16 address = qFromLittleEndian<quint16>(frame.constData() + 2);
        const quint16 length = qFromLittleEndian<quint16>(frame.constData() + 4);
        if (address == 0x0005 && length == 0x0012) {
            // @0 marker, @1 unused, @2 year, @4 month, @5 day, @6 serial, @10 model, @14 extra,
            // @16 firmware
            reply.append(char(meterImage.marker));
            reply.append('\0');
            appendLe16(reply, quint16(meterImage.date.year()));
            reply.append(char(meterImage.date.month()));
            reply.append(char(meterImage.date.day()));
            appendLe32(reply, meterImage.serialNo);
            appendLe32(reply, meterImage.modelCode);
            appendLe16(reply, meterImage.extraWord);
            appendLe16(reply, meterImage.firmwareVersion);
        } else if (address == 0x000F && length == 4) {
            appendLe32(reply, meterImage.recordCount);
        } else if (address == 0x0061 && length == 0x0078) {
            for (quint16 unit : meterImage.unitSlots)
                appendLe16(reply, unit);
        } else {
            reply.append(QByteArray(length, '\0'));
        }
        return reply;
    }

    const quint32 address = qFromLittleEndian<quint32>(frame.constData() + 2);
    const quint16 length = qFromLittleEndian<quint16>(frame.constData() + 6);
    const bool modeRequest =
        length == 4 && ((command == 0x40 && address == 0x38) || (command == 0x41 && address == 0x40));
    if (modeRequest) {
        appendLe16(reply, meterImage.mode);
        appendLe16(reply, 0);
        return reply;
    }
    const qsizetype header = reply.size();
    reply.resize(header + length);
    for (quint32 i = 0; i < length; ++i)
        reply[header + i] = char(memoryByte(address + i));
    return reply;
}

void VirtualMeter::queueReply(const QByteArray &bytes, int payloadPerReport, qint64 firstDueUs)
{
    for (int offset = 0; offset < bytes.size(); offset += payloadPerReport)
        queueReport(MeterFacts::ReportId, bytes.mid(offset, payloadPerReport), firstDueUs);
    ++replies;
}

// Input report: @0 report ID, @1 payload count, @2 payload, zero padding to 64 bytes.
void VirtualMeter::queueReport(quint8 reportId, const QByteArray &payload, qint64 earliestUs)
{
    const int frame = timingModel.fullSpeed ? timingModel.frameUs : 0;
    QByteArray report(MeterFacts::ReportSize, '\0');
    report[0] = char(reportId);
    report[1] = char(payload.size());
    std::copy_n(payload.constData(), payload.size(), report.data() + 2);
    // One report per frame; a report never overtakes the one before it.
    qint64 due = earliestUs + frame;
    if (haveQueued)
        due = std::max(due, lastDueUs + frame);
    lastDueUs = due;
    haveQueued = true;
    input.push_back({due, report});
}

bool VirtualMeter::takeInputReport(QByteArray &report)
{
    if (unplugged || input.empty() || input.front().dueUs > nowUs())
        return false;
    report = input.front().report;
    input.pop_front();
    ++inputReports;
    if (meterImage.faults.unplugAfterReports >= 0 && inputReports >= meterImage.faults.unplugAfterReports)
        unplug();
    return true;
}

QList<QByteArray> VirtualMeter::takeInputReports()
{
    QList<QByteArray> reports;
    QByteArray report;
    while (takeInputReport(report))
        reports.append(report);
    return reports;
}

qint64 VirtualMeter::nextInputDueUs() const
{
    if (unplugged || input.empty())
        return -1;
    return input.front().dueUs;
}
