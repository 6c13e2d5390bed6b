// SPDX-License-Identifier: GPL-3.0-or-later
#include "VmHidrawExchange.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {
constexpr int ReportSize = 64;
constexpr uint8_t ReportId = 0x3F;
constexpr int ReplyTimeoutMs = 2000;
} // namespace

VmHidrawExchange::~VmHidrawExchange()
{
    close();
}

bool VmHidrawExchange::open(const std::string &devnode)
{
    close();
    fd = ::open(devnode.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return failWithErrno(("open " + devnode).c_str());
    return true;
}

void VmHidrawExchange::close()
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// CRC-16/MODBUS: initial 0xFFFF, reflected polynomial 0xA001, no final exclusive-or.
uint16_t VmHidrawExchange::crc16(const std::vector<uint8_t> &data)
{
    uint16_t crc = 0xFFFF;
    for (const uint8_t byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

bool VmHidrawExchange::failWithErrno(const char *what)
{
    const int err = errno;
    gone = err == ENODEV || err == EIO || err == ENXIO;
    errorText = std::string(what) + ": " + std::strerror(err);
    return false;
}

bool VmHidrawExchange::writeReport(const std::vector<uint8_t> &report)
{
    const ssize_t n = ::write(fd, report.data(), report.size());
    if (n < 0)
        return failWithErrno("write");
    if (n != static_cast<ssize_t>(report.size())) {
        errorText = "short write of " + std::to_string(n) + " bytes";
        return false;
    }
    return true;
}

bool VmHidrawExchange::readReport(std::vector<uint8_t> &report, int timeoutMs)
{
    pollfd pfd = {fd, POLLIN, 0};
    int n;
    do {
        n = poll(&pfd, 1, timeoutMs);
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        return failWithErrno("poll");
    if (n == 0) {
        errorText = "no input report within " + std::to_string(timeoutMs) + " ms";
        return false;
    }
    if (!(pfd.revents & POLLIN) && (pfd.revents & (POLLHUP | POLLERR))) {
        gone = true;
        errorText = "the hidraw node hung up";
        return false;
    }
    report.assign(ReportSize + 1, 0);
    const ssize_t got = ::read(fd, report.data(), report.size());
    if (got < 0)
        return failWithErrno("read");
    report.resize(static_cast<size_t>(got));
    return true;
}

bool VmHidrawExchange::exchangeKeyInfo(uint32_t serialNo)
{
    gone = false;
    std::vector<uint8_t> frame = {0xAB, 0x20, 0x05, 0x00, 0x12, 0x00};
    const uint16_t crc = crc16(frame);
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<uint8_t>(crc >> 8));

    std::vector<uint8_t> report(ReportSize, 0);
    report[0] = ReportId;
    report[1] = static_cast<uint8_t>(frame.size());
    std::memcpy(report.data() + 2, frame.data(), frame.size());
    if (!writeReport(report))
        return false;

    // The reply may come in more than one report: collect payload bytes until 26 are there.
    constexpr size_t ReplyLength = 26;
    std::vector<uint8_t> reply;
    while (reply.size() < ReplyLength) {
        std::vector<uint8_t> in;
        if (!readReport(in, ReplyTimeoutMs))
            return false;
        if (in.size() < 2 || in[0] != ReportId || in[1] > in.size() - 2) {
            errorText = "malformed input report of " + std::to_string(in.size()) + " bytes";
            return false;
        }
        reply.insert(reply.end(), in.begin() + 2, in.begin() + 2 + in[1]);
    }
    if (reply.size() != ReplyLength) {
        errorText = "reply of " + std::to_string(reply.size()) + " bytes, expected 26";
        return false;
    }
    const std::vector<uint8_t> body(reply.begin(), reply.end() - 2);
    const uint16_t replyCrc = static_cast<uint16_t>(reply[24] | (reply[25] << 8));
    if (reply[0] != 0xAB || reply[2] != 0x05 || reply[3] != 0x00 || reply[4] != 0x12 || reply[5] != 0x00) {
        errorText = "the reply does not repeat the request's header";
        return false;
    }
    if (crc16(body) != replyCrc) {
        errorText = "the reply's check value is wrong";
        return false;
    }
    const uint32_t serial = reply[12] | (reply[13] << 8) | (reply[14] << 16) | (static_cast<uint32_t>(reply[15]) << 24);
    if (serial != serialNo) {
        errorText =
            "the reply carries serial number " + std::to_string(serial) + ", expected " + std::to_string(serialNo);
        return false;
    }
    return true;
}

bool VmHidrawExchange::exchangeEcho(unsigned char tag)
{
    gone = false;
    std::vector<uint8_t> report(ReportSize, 0);
    report[0] = ReportId;
    report[1] = 62;
    for (int i = 2; i < ReportSize; ++i)
        report[i] = static_cast<uint8_t>(tag + i);
    if (!writeReport(report))
        return false;
    std::vector<uint8_t> in;
    if (!readReport(in, ReplyTimeoutMs))
        return false;
    if (in != report) {
        errorText = "the echoed report differs from the one sent (" + std::to_string(in.size()) + " bytes)";
        return false;
    }
    return true;
}
