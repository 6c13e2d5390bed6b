// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveLocation.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

#include <libpq-fe.h>

#include <algorithm>
#include <memory>

namespace {

// The text a URL part needs so that parse() reads it back: '/', ':' and '@' and the like
// percent-encoded.
QString encoded(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

// The password texts an address holds, as written and as decoded: libpq's messages may quote
// them, and no message may show one.
QStringList secretsIn(const QString &address)
{
    QStringList secrets;
    const auto add = [&secrets](const QString &raw) {
        if (raw.isEmpty())
            return;
        secrets << raw << QString::fromUtf8(QByteArray::fromPercentEncoding(raw.toUtf8()));
    };
    const qsizetype start = address.indexOf(QLatin1String("://")) + 3;
    const qsizetype end = address.indexOf(QRegularExpression(QStringLiteral("[/?]")), start);
    const QString authority = address.mid(start, end < 0 ? -1 : end - start);
    const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
    const qsizetype colon = authority.indexOf(QLatin1Char(':'));
    if (at >= 0 && colon >= 0 && colon < at)
        add(authority.mid(colon + 1, at - colon - 1));
    static const QRegularExpression passwordParameter(QStringLiteral("password=([^&]*)"),
                                                      QRegularExpression::CaseInsensitiveOption);
    for (QRegularExpressionMatchIterator it = passwordParameter.globalMatch(address); it.hasNext();)
        add(it.next().captured(1));
    return secrets;
}

// A PostgreSQL address as libpq reads it, so that every connection option it knows works as in
// psql. The error texts never show a password.
std::optional<ArchiveLocation> parsePostgresql(const QString &address, QString &error)
{
    char *parseError = nullptr;
    const std::unique_ptr<PQconninfoOption, void (*)(PQconninfoOption *)> parsed(
        PQconninfoParse(address.toUtf8().constData(), &parseError), PQconninfoFree);
    if (!parsed) {
        QString reason = parseError ? QString::fromUtf8(parseError).trimmed() : QStringLiteral("out of memory");
        PQfreemem(parseError);
        for (const QString &secret : secretsIn(address))
            reason.replace(secret, QStringLiteral("***"));
        error = QStringLiteral("archive location: ") + reason;
        return std::nullopt;
    }
    ArchiveLocation location;
    location.engine = ArchiveLocation::Postgresql;
    bool service = false;
    for (const PQconninfoOption *option = parsed.get(); option->keyword; ++option) {
        if (!option->val)
            continue;
        const QString key = QString::fromUtf8(option->keyword);
        const QString value = QString::fromUtf8(option->val);
        if (key == QLatin1String("host")) {
            location.host = value;
        } else if (key == QLatin1String("user")) {
            location.user = value;
        } else if (key == QLatin1String("password")) {
            location.password = value;
        } else if (key == QLatin1String("dbname")) {
            location.databaseName = value;
        } else if (key == QLatin1String("port")) {
            bool ok = false;
            location.port = value.toInt(&ok);
            if (!ok || location.port < 1 || location.port > 65535) {
                error = QStringLiteral("archive location: the PostgreSQL port is not a number from 1 to 65535");
                return std::nullopt;
            }
        } else {
            // Qt's driver joins its options with ';', and so cannot pass a value holding one.
            if (value.contains(QLatin1Char(';'))) {
                error = QStringLiteral("archive location: the PostgreSQL option %1 holds a ';'").arg(key);
                return std::nullopt;
            }
            service = service || key == QLatin1String("service");
            location.options.append({key, value, option->dispchar && option->dispchar[0] == '*'});
        }
    }
    // A service file may name the database; otherwise an address without one is a mistake.
    if (location.databaseName.isEmpty() && !service) {
        error = QStringLiteral("archive location: the PostgreSQL address names no database (.../database)");
        return std::nullopt;
    }
    return location;
}

// The value as a libpq connection string quotes it (and Qt's driver quotes its own).
QString quoted(QString value)
{
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    value.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + value + QLatin1Char('\'');
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
            return parsePostgresql(QString(scheme) + trimmed.mid(scheme.size()), error);
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

std::optional<ArchiveLocation> ArchiveLocation::parseOrDefault(const QString &text, QString &error)
{
    return text.isEmpty() ? defaultLocation() : parse(text, error);
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
    // Written so that parse() reads it back (without any password, which is never shown).
    const QString userPart = user.isEmpty() ? QString() : encoded(user) + QLatin1Char('@');
    const QString hostPart = host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('/'))
                                 ? QLatin1Char('[') + host + QLatin1Char(']')
                                 : encoded(host);
    const QString portPart = port > 0 ? QLatin1Char(':') + QString::number(port) : QString();
    QStringList shown;
    for (const Option &option : options) {
        if (!option.secret)
            shown << option.key + QLatin1Char('=') + encoded(option.value);
    }
    const QString query = shown.isEmpty() ? QString() : QLatin1Char('?') + shown.join(QLatin1Char('&'));
    return QStringLiteral("postgresql://%1%2%3/%4%5").arg(userPart, hostPart, portPart, encoded(databaseName), query);
}

bool ArchiveLocation::holdsPassword() const
{
    return !password.isEmpty() || std::any_of(options.cbegin(), options.cend(), [](const Option &o) { return o.secret; });
}

QString ArchiveLocation::driverOptions(int connectTimeoutSeconds) const
{
    QStringList pairs{QStringLiteral("connect_timeout=%1").arg(connectTimeoutSeconds)};
    for (const Option &option : options)
        pairs << option.key + QLatin1Char('=') + quoted(option.value);
    return pairs.join(QLatin1Char(';'));
}

bool ArchiveLocation::fileUsable(QString &error) const
{
    const QFileInfo file(path);
    if (file.exists()) {
        if (file.isFile())
            return true;
        error = QStringLiteral("%1 is not a regular file").arg(QDir::toNativeSeparators(path));
        return false;
    }
    // The folders that do not exist yet are made; the nearest one that does must take them.
    QFileInfo folder(file.absolutePath());
    while (!folder.exists() && !folder.isRoot())
        folder.setFile(folder.absolutePath());
    if (!folder.isDir()) {
        error = QStringLiteral("cannot create the folder %1").arg(QDir::toNativeSeparators(file.absolutePath()));
        return false;
    }
    if (folder.isWritable())
        return true;
    error = QStringLiteral("no new file can be made in %1").arg(QDir::toNativeSeparators(folder.absoluteFilePath()));
    return false;
}
