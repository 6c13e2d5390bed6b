// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Request/reply exchanges with the meter through a hidraw node, with plain read and write:
// 64-byte output reports (report ID 0x3F, payload count, payload, zero padding) and numbered
// input reports in the same layout.
class VmHidrawExchange
{
public:
    VmHidrawExchange() = default;
    ~VmHidrawExchange();
    VmHidrawExchange(const VmHidrawExchange &) = delete;
    VmHidrawExchange &operator=(const VmHidrawExchange &) = delete;

    bool open(const std::string &devnode);
    void close();

    // Sends the key-information request and checks the 26-byte reply: start byte, repeated
    // address and length, check value, and the serial number in bytes 12..15.
    bool exchangeKeyInfo(uint32_t serialNo);
    // Sends one report whose payload is tagged with `tag` and expects the same report back.
    bool exchangeEcho(unsigned char tag);

    // Whether the last failure was the device going away (no such device, I/O error, hang-up).
    bool deviceGone() const { return gone; }
    const std::string &error() const { return errorText; }

    static uint16_t crc16(const std::vector<uint8_t> &data);

private:
    bool writeReport(const std::vector<uint8_t> &report);
    bool readReport(std::vector<uint8_t> &report, int timeoutMs);
    bool failWithErrno(const char *what);

    int fd = -1;
    bool gone = false;
    std::string errorText;
};
