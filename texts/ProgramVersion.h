// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The program's name and version as files and the command line state them.
namespace ProgramVersion {

QString name();    // "Lumivane"
QString version(); // the project's version, e.g. "1.02"
QString title();   // the window's title, "Lumivane V1.02"
QString licence(); // the licence's SPDX identifier, "GPL-3.0-or-later"

} // namespace ProgramVersion
