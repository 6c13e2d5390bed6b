// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ArchiveEntry.h"
#include "ReportContent.h"

class QWidget;
class UserDialogs;

// The window's way to a report: a small dialog asks for its title, project or location, operator
// (both remembered), note and paper, then the report is saved as a PDF (through the save dialog,
// "Report" and the date and time proposed) or printed through Qt's print dialog. A report that
// fails or is cancelled leaves an existing file as it was and is told in one box.
namespace ReportRequest {

// content: the meter's facts and the sections; its details are asked for here. Details already
// given (the notes of the download) are proposed; otherwise location and operator as last entered.
void run(QWidget *parent, ReportContent &content, UserDialogs &dialogs, bool chinese);

// The notes kept with a download, proposed as the report's details (fields without a note keep
// what they had).
void proposeNotes(ReportDetails &details, const ArchiveNotes &notes);

// "Report" followed by the date and time, e.g. Report20240131154502.pdf.
QString proposedFileName(const QDateTime &now);

} // namespace ReportRequest
