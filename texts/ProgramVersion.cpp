// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramVersion.h"

namespace ProgramVersion {

QString name()
{
    return QStringLiteral("Lumivane");
}

QString version()
{
    return QStringLiteral(LUMIVANE_VERSION);
}

} // namespace ProgramVersion
