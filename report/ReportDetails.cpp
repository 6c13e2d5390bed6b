// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportDetails.h"

#include "ReportTexts.h"

QString ReportDetails::shownTitle() const
{
    const QString trimmed = title.trimmed();
    return trimmed.isEmpty() ? ReportTexts::text(ReportText::DefaultTitle, chinese) : trimmed;
}

QPageSize::PageSizeId ReportDetails::defaultPaper(const QLocale &locale)
{
    switch (locale.territory()) {
    case QLocale::UnitedStates:
    case QLocale::Canada:
        return QPageSize::Letter;
    default:
        return QPageSize::A4;
    }
}

bool ReportDetails::paperFromName(const QString &name, QPageSize::PageSizeId &paper)
{
    if (name.compare(QLatin1String("a4"), Qt::CaseInsensitive) == 0) {
        paper = QPageSize::A4;
        return true;
    }
    if (name.compare(QLatin1String("letter"), Qt::CaseInsensitive) == 0) {
        paper = QPageSize::Letter;
        return true;
    }
    return false;
}
