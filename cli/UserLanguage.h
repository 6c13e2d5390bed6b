// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QProcessEnvironment>

// The language of the command line when --lang does not name one: the user's language for
// messages, found as gettext finds it. The locale is the first non-empty one of LC_ALL,
// LC_MESSAGES and LANG; when it is unset, empty, "C" or "POSIX" (a C.UTF-8 locale too) the
// language is English and LANGUAGE is not looked at. Otherwise LANGUAGE, a colon-separated list
// in order of preference, decides by its first entry that is Chinese (zh...) or English (en...);
// without such an entry the locale decides: Chinese for zh..., English for anything else, since
// those are the only two languages the program speaks.
namespace UserLanguage {

bool isChinese(const QProcessEnvironment &environment);
// The locale that chooses the paper: the first non-empty one of LC_ALL, LC_PAPER and LANG ("C"
// when none is set).
QLocale paperLocale(const QProcessEnvironment &environment);

} // namespace UserLanguage
