// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveLocation.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

namespace {

QString decoded(const QString &text)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text.toUtf8()));
}

// The text a URL part needs so that parse() reads it back: '/', ':' and '@' and the like
// percent-encoded.
QString encoded(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

// "postgresql://[user[:password]@]host[:port]/database", with the scheme already cut off. The
// error texts never repeat the input, which may hold a password.
std::optional<ArchiveLocation> parsePostgresql(const QString &rest, QString &error)
{
    if (rest.contains(QLatin1Char('?')) || rest.contains(QLatin1Char('#'))) {
        error = QStringLiteral("archive location: connection parameters after '?' are not supported");
        return std::nullopt;
    }
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    const QString database = slash < 0 ? QString() : decoded(rest.mid(slash + 1));
    if (database.isEmpty()) {
        error = QStringLiteral("archive location: the PostgreSQL address names no database (.../database)");
        return std::nullopt;
    }
    ArchiveLocation location;
    location.engine = ArchiveLocation::Postgresql;
    location.databaseName = database;

    QString hostPort = rest.left(slash);
    const qsizetype at = hostPort.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        const QString userInfo = hostPort.left(at);
        const qsizetype colon = userInfo.indexOf(QLatin1Char(':'));
        location.user = decoded(userInfo.left(colon));
        if (colon >= 0)
            location.password = decoded(userInfo.mid(colon + 1));
        hostPort = hostPort.mid(at + 1);
    }
    // A port follows the last ':' outside the brackets of an IPv6 address.
    const qsizetype bracket = hostPort.lastIndexOf(QLatin1Char(']'));
    const qsizetype colon = hostPort.lastIndexOf(QLatin1Char(':'));
    if (colon > bracket) {
        bool ok = false;
        const int port = hostPort.mid(colon + 1).toInt(&ok);
        if (!ok || port < 1 || port > 65535) {
            error = QStringLiteral("archive location: the PostgreSQL port is not a number from 1 to 65535");
            return std::nullopt;
        }
        location.port = port;
        hostPort = hostPort.left(colon);
    }
    if (hostPort.startsWith(QLatin1Char('[')) && hostPort.endsWith(QLatin1Char(']')))
        hostPort = hostPort.mid(1, hostPort.size() - 2);
    location.host = decoded(hostPort);
    return location;
}

} // namespace

std::optional<ArchiveLocation> ArchiveLocation::parse(const QString &text, QString &error)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        error = QStringLiteral("archive location: empty");
        return std::nullopt;
    }
    for (const QLatin1String scheme : {QLatin1String("postgresql://"), QLatin1String("postgres://")}) {
        if (trimmed.startsWith(scheme, Qt::CaseInsensitive))
            return parsePostgresql(trimmed.mid(scheme.size()), error);
    }
    QString path = trimmed;
    if (trimmed.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive)) {
        path = trimmed.mid(7);
    } else {
        static const QRegularExpression otherScheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
        const QRegularExpressionMatch match = otherScheme.match(trimmed);
        if (match.hasMatch()) {
            error = QStringLiteral("archive location: unknown kind of database %1 (postgresql:// or sqlite:)")
                        .arg(match.captured(0));
            return std::nullopt;
        }
    }
    if (path.isEmpty()) {
        error = QStringLiteral("archive location: sqlite: names no file");
        return std::nullopt;
    }
    ArchiveLocation location;
    location.engine = Sqlite;
    location.path = QFileInfo(path).absoluteFilePath();
    return location;
}

ArchiveLocation ArchiveLocation::defaultLocation()
{
    ArchiveLocation location;
    // The window and the command line share one archive, whatever each program is called.
    location.path = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                    + QStringLiteral("/Lumivane/archive.sqlite");
    return location;
}

QString ArchiveLocation::describe() const
{
    if (engine == Sqlite)
        return QDir::toNativeSeparators(path);
    // Written so that parse() reads it back (without the password, which is never shown).
    const QString userPart = user.isEmpty() ? QString() : encoded(user) + QLatin1Char('@');
    const QString hostPart = host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('/'))
                                 ? QLatin1Char('[') + host + QLatin1Char(']')
                                 : encoded(host);
    return QStringLiteral("postgresql://%1%2:%3/%4")
        .arg(userPart, hostPart, QString::number(port), encoded(databaseName));
}
