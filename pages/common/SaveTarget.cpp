// SPDX-License-Identifier: GPL-3.0-or-later
#include "SaveTarget.h"

#include <QFileInfo>

SaveTarget SaveTarget::of(const QString &fileName, const QString &chosenFilter, const QStringList &suffixes,
                          const QStringList &filters)
{
    const QString typed = QFileInfo(fileName).suffix();
    for (int i = 0; i < suffixes.size(); ++i) {
        if (typed.compare(suffixes.at(i), Qt::CaseInsensitive) == 0)
            return {fileName, i};
    }
    const int chosen = int(qMax(qsizetype(0), filters.indexOf(chosenFilter)));
    return {fileName + QLatin1Char('.') + suffixes.at(chosen), chosen};
}
