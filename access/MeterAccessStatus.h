// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ForwardingTransport.h"
#include "HidSelection.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// What the system answered while the window tried to open the meter: the interfaces it listed
// and the outcome of every open, in their order.
struct OpenAttempts
{
    QList<HidInterfaceInfo> listed;
    QList<HidProbe> opens;
};

// A transport that passes everything to another one and notes the listings and open outcomes in
// attempts, which outlives it: the session takes the transport and drops it when the open fails,
// and the window reads afterwards why. No further transport is made and nothing more is opened.
class OpenRecordingTransport final : public ForwardingTransport
{
public:
    OpenRecordingTransport(std::unique_ptr<HidReportTransport> inner, std::shared_ptr<OpenAttempts> attempts);

    QList<HidInterfaceInfo> enumerate(quint16 vendorId, quint16 productId) override;
    HidOpenResult open(const QString &path) override;

private:
    std::shared_ptr<OpenAttempts> attempts;
};

// The udev rule that gives the logged-in user the meter's hidraw node: where it counts as
// installed, and the file the install command copies from.
struct UdevRule
{
    static constexpr char fileName[] = "70-lumivane.rules";

    QStringList installedPaths; // udev reads the rule from any of these
    QStringList sourcePaths;    // the shipped rule, the first that exists; the last one otherwise

    // The rule directories udev reads, and the rule as this build ships it.
    static UdevRule standard();

    bool isInstalled() const;
    QString installCommand() const;
    static QString reloadCommand();
    // The word as a POSIX shell reads it back unchanged: as it is when it holds only characters
    // that mean themselves, otherwise in single quotes.
    static QString shellQuoted(const QString &word);
};

// Why a meter that is present cannot be opened, as the window tells it beside the lamp (the
// device node, the cause, and the fix in either language) and the command line's list names it.
struct MeterAccessStatus
{
    enum Cause {
        None, // opened, or no meter present: nothing to tell
        PermissionDenied,
        HeldElsewhere, // busy, or locked by another program (MeterLock)
        NoSuchDevice   // listed, yet gone (or unusable) when opened
    };

    Cause cause = None;
    QString node;

    // The status after a failed open: the first refused interface among the attempts, or the
    // interface that opened when the meter lock refused it (heldByLock). None when no meter was
    // listed.
    static MeterAccessStatus afterFailedOpen(const OpenAttempts &attempts, bool heldByLock);
    // The cause of one open's outcome: None when it opened.
    static Cause causeOf(HidOpenResult result);

    // The cause alone, in either language. Empty for None.
    QString causeText(bool chinese) const;

    // The one-line status: node, cause and fix. Empty for None.
    QString statusLine(bool chinese, const UdevRule &rule) const;
    // The status line and, on a line of its own, the command that applies the fix, if any.
    QString toolTip(bool chinese, const UdevRule &rule) const;
};
