// SPDX-License-Identifier: GPL-3.0-or-later
#include "MeterAccessStatus.h"

#include "TextCatalogue.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <utility>

OpenRecordingTransport::OpenRecordingTransport(std::unique_ptr<HidReportTransport> inner,
                                               std::shared_ptr<OpenAttempts> attempts)
    : ForwardingTransport(std::move(inner)),
      attempts(std::move(attempts))
{}

QList<HidInterfaceInfo> OpenRecordingTransport::enumerate(quint16 vendorId, quint16 productId)
{
    const QList<HidInterfaceInfo> listed = wrapped().enumerate(vendorId, productId);
    if (!listed.isEmpty())
        attempts->listed = listed;
    return listed;
}

HidOpenResult OpenRecordingTransport::open(const QString &path)
{
    const HidOpenResult result = wrapped().open(path);
    HidProbe attempt;
    attempt.info.path = path;
    attempt.result = result;
    attempts->opens.append(attempt);
    return result;
}

UdevRule UdevRule::standard()
{
    const QString name = QLatin1String(fileName);
    UdevRule rule;
    rule.installedPaths = {QStringLiteral("/usr/lib/udev/rules.d/") + name,
                           QStringLiteral("/etc/udev/rules.d/") + name};
    // The copy a make install left under the prefix, then the one the build put beside the
    // executable.
    rule.sourcePaths = {QStringLiteral(LUMIVANE_UDEV_RULE_PREFIXED),
                        QCoreApplication::applicationDirPath() + QLatin1Char('/') + name};
    return rule;
}

bool UdevRule::isInstalled() const
{
    for (const QString &path : installedPaths) {
        if (QFileInfo::exists(path))
            return true;
    }
    return false;
}

QString UdevRule::reloadCommand()
{
    return QStringLiteral("sudo udevadm control --reload-rules && sudo udevadm trigger --subsystem-match=hidraw");
}

QString UdevRule::installCommand() const
{
    QString source = sourcePaths.value(sourcePaths.size() - 1);
    for (const QString &path : sourcePaths) {
        if (QFileInfo::exists(path)) {
            source = path;
            break;
        }
    }
    return QStringLiteral("sudo install -m 644 %1 /etc/udev/rules.d/%2 && ")
               .arg(shellQuoted(source), QLatin1String(fileName))
           + reloadCommand();
}

QString UdevRule::shellQuoted(const QString &word)
{
    // Letters, digits and these signs mean themselves to a shell; anything else (a blank, a
    // quote, $, ;, a backtick, ...) is put inside single quotes, where only a single quote itself
    // needs to end the quotes, be escaped and open them again.
    const QLatin1String plain("/._-+,:@%=");
    const bool safe = !word.isEmpty() && std::all_of(word.cbegin(), word.cend(), [plain](QChar c) {
        return (c.unicode() < 0x80 && c.isLetterOrNumber()) || plain.contains(c);
    });
    if (safe)
        return word;
    QString quoted = word;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

MeterAccessStatus MeterAccessStatus::afterFailedOpen(const OpenAttempts &attempts, bool heldByLock)
{
    MeterAccessStatus status;
    if (attempts.listed.isEmpty())
        return status;
    if (heldByLock) {
        // The session opened the node, then found the meter's lock taken and closed it again.
        for (const HidProbe &attempt : attempts.opens) {
            if (attempt.result == HidOpenResult::Opened)
                status = {HeldElsewhere, attempt.info.path};
        }
        if (status.cause == None)
            status = {HeldElsewhere, attempts.listed.first().path};
        return status;
    }
    // The most telling refusal wins: missing rights need the user, a busy node another program,
    // a failed one a new plug-in.
    for (const HidOpenResult result : {HidOpenResult::AccessDenied, HidOpenResult::Busy, HidOpenResult::Failed}) {
        for (const HidProbe &attempt : attempts.opens) {
            if (attempt.result == result)
                return {causeOf(result), attempt.info.path};
        }
    }
    return status;
}

MeterAccessStatus::Cause MeterAccessStatus::causeOf(HidOpenResult result)
{
    switch (result) {
    case HidOpenResult::Opened:
        return None;
    case HidOpenResult::AccessDenied:
        return PermissionDenied;
    case HidOpenResult::Busy:
        return HeldElsewhere;
    case HidOpenResult::Failed:
        break;
    }
    return NoSuchDevice;
}

QString MeterAccessStatus::causeText(bool chinese) const
{
    switch (cause) {
    case None:
        break;
    case PermissionDenied:
        return TextCatalogue::text(Text::AccessPermissionDenied, chinese);
    case HeldElsewhere:
        return TextCatalogue::text(Text::AccessHeldElsewhere, chinese);
    case NoSuchDevice:
        return TextCatalogue::text(Text::AccessNoSuchDevice, chinese);
    }
    return QString();
}

QString MeterAccessStatus::statusLine(bool chinese, const UdevRule &rule) const
{
    Text fixText = Text::AccessPlugAgain;
    switch (cause) {
    case None:
        return QString();
    case PermissionDenied:
        fixText = rule.isInstalled() ? Text::AccessReloadRule : Text::AccessInstallRule;
        break;
    case HeldElsewhere:
        fixText = Text::AccessCloseOther;
        break;
    case NoSuchDevice:
        break;
    }
    return TextCatalogue::text(Text::AccessStatus, chinese)
        .arg(node, causeText(chinese), TextCatalogue::text(fixText, chinese));
}

QString MeterAccessStatus::toolTip(bool chinese, const UdevRule &rule) const
{
    const QString line = statusLine(chinese, rule);
    if (cause != PermissionDenied)
        return line;
    return line + QLatin1Char('\n') + (rule.isInstalled() ? UdevRule::reloadCommand() : rule.installCommand());
}
