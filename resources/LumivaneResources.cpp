// SPDX-License-Identifier: GPL-3.0-or-later
#include "LumivaneResources.h"

#include <QFile>

bool LumivaneResources::available()
{
    return QFile::exists(QLatin1String(styleSheet));
}
