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

QString title()
{
    return name() + QStringLiteral(" V") + version();
}

QString licence()
{
    return QStringLiteral(LUMIVANE_LICENSE);
}

} // namespace ProgramVersion
