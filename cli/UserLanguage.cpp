// SPDX-License-Identifier: GPL-3.0-or-later
#include "UserLanguage.h"

#include <QStringList>

namespace {

bool isChineseName(const QString &name)
{
    return name.startsWith(QLatin1String("zh"));
}

// "C", "POSIX" and "C.UTF-8" ask for no translation.
bool isUntranslated(const QString &locale)
{
    return locale.isEmpty() || locale == QLatin1String("POSIX") || locale == QLatin1String("C")
           || locale.startsWith(QLatin1String("C."));
}

} // namespace

namespace UserLanguage {

bool isChinese(const QProcessEnvironment &environment)
{
    QString locale;
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = environment.value(QLatin1String(name));
        if (!locale.isEmpty())
            break;
    }
    if (isUntranslated(locale))
        return false;
    const QStringList preferred =
        environment.value(QStringLiteral("LANGUAGE")).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString &language : preferred) {
        if (isChineseName(language))
            return true;
        if (language.startsWith(QLatin1String("en")))
            return false;
    }
    return isChineseName(locale);
}

QLocale paperLocale(const QProcessEnvironment &environment)
{
    for (const char *variable : {"LC_ALL", "LC_PAPER", "LANG"}) {
        const QString value = environment.value(QLatin1String(variable));
        if (!value.isEmpty())
            return QLocale(value.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0));
    }
    return QLocale::c();
}

} // namespace UserLanguage
