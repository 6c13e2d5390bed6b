// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportContent.h"

#include "ExportSheet.h"
#include "ReportTexts.h"

void ReportContent::setMeterFacts(const ExportSheet &meterSheet)
{
    meterFacts.clear();
    for (int row = 0; row < meterSheet.table.rowCount(); ++row)
        meterFacts.append({meterSheet.table.cellText(row, 0), meterSheet.table.cellText(row, 1)});
}

void ReportContent::addTable(const ReportTable &table)
{
    Section section;
    section.table = table;
    sections.push_back(std::move(section));
}

void ReportContent::addSpectral(const SpectralTableModel &spectra, const ColourTableModel &colours)
{
    Section charts;
    charts.kind = Section::Charts;
    charts.spectra = &spectra;
    charts.colours = &colours;
    sections.push_back(std::move(charts));
    addTable(ReportTable::ofColours(colours, ReportTexts::text(ReportText::ColourTable, details.chinese)));
    addTable(ReportTable::ofSpectra(spectra, ReportTexts::text(ReportText::SpectralTable, details.chinese)));
}
