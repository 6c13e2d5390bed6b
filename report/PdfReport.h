// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ReportPainter.h"

#include <QString>

struct ReportContent;

// Writes a report as a PDF file beside its target and renames it over the target once complete:
// a report that fails or is cancelled leaves an existing file as it was.
namespace PdfReport {

// False, with the reason, when the report could not be written or was cancelled.
bool write(const QString &fileName, const ReportContent &content, const ReportPainter::Progress &progress,
           QString &error);

} // namespace PdfReport
