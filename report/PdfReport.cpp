// SPDX-License-Identifier: GPL-3.0-or-later
#include "PdfReport.h"

#include "ChunkedDevice.h"
#include "FileReplacement.h"
#include "ProgramVersion.h"
#include "ReportLayout.h"

#include <QPdfWriter>

namespace PdfReport {

bool write(const QString &fileName, const ReportContent &content, const ReportPainter::Progress &progress,
           QString &error)
{
    const ReportLayout layout(content);
    return FileReplacement::write(
        fileName,
        [&](QIODevice &device, QString &reason) {
            ChunkedDevice chunks(device);
            {
                QPdfWriter writer(&chunks);
                writer.setResolution(1200);
                writer.setTitle(content.details.shownTitle());
                writer.setCreator(ProgramVersion::name() + QLatin1Char(' ') + ProgramVersion::version());
                if (!ReportPainter::paint(writer, layout, progress, reason))
                    return false;
            }
            return chunks.finish(reason);
        },
        error);
}

} // namespace PdfReport
