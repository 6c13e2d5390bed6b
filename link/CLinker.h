// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>

// The byte channel to the meter. The base class is a link that is never open: code that holds
// only a CLinker never tries to transfer.
class CLinker : public QObject
{
    Q_OBJECT

public:
    explicit CLinker(QObject *parent = nullptr);
    ~CLinker() override;

    virtual void close();
    // Appends received bytes to out. timeoutMs 0 drains: it returns after the first 50 ms
    // without input. Otherwise collects until out holds expectedLength bytes starting with the
    // reply start byte, or the time-out passes.
    virtual int read(QByteArray &out, int timeoutMs, int expectedLength);
    virtual int write(QByteArray &frame, int timeoutMs);
    virtual bool isOpen() const;
    virtual bool isDeviceGone() const;

    // Appends only what has already arrived, without waiting for more. Returns the number of
    // bytes appended.
    virtual int readAvailable(QByteArray &out);
};
