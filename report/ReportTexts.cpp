// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportTexts.h"

namespace ReportTexts {

QString text(ReportText id, bool chinese)
{
    struct Pair
    {
        const char *zh;
        const char *en;
    };
    Pair pair{"", ""};
    switch (id) {
    case ReportText::DefaultTitle:
        pair = {"测量报告", "Measurement Report"};
        break;
    case ReportText::PageOf:
        pair = {"第 %1 页 / 共 %2 页", "Page %1 of %2"};
        break;
    case ReportText::Location:
        pair = {"项目/地点", "Project or location"};
        break;
    case ReportText::Operator:
        pair = {"测量人员", "Operator"};
        break;
    case ReportText::Note:
        pair = {"备注", "Note"};
        break;
    case ReportText::Meter:
        pair = {"仪器", "Meter"};
        break;
    case ReportText::Report:
        pair = {"报告", "Report"};
        break;
    case ReportText::RecordsTable:
        pair = {"测量记录", "Records"};
        break;
    case ReportText::ColourTable:
        pair = {"色度参数", "Colour"};
        break;
    case ReportText::SpectralTable:
        pair = {"光谱数据", "Spectral data"};
        break;
    case ReportText::SpectrumChart:
        pair = {"光谱曲线", "Spectrum"};
        break;
    case ReportText::Chromaticity:
        pair = {"CIE 1931 色品图", "CIE 1931 chromaticity diagram"};
        break;
    case ReportText::ColumnGroup:
        pair = {"（第 %1 组列，共 %2 组）", "(columns, part %1 of %2)"};
        break;
    case ReportText::Number:
        pair = {"序号", "No."};
        break;
    case ReportText::NoRecords:
        pair = {"没有记录", "No records"};
        break;
    case ReportText::Button:
        pair = {"生成报告", "Report…"};
        break;
    case ReportText::TitleField:
        pair = {"标题", "Title"};
        break;
    case ReportText::PaperField:
        pair = {"纸张", "Paper"};
        break;
    case ReportText::SavePdf:
        pair = {"保存 PDF…", "Save PDF…"};
        break;
    case ReportText::Print:
        pair = {"打印…", "Print…"};
        break;
    case ReportText::Cancel:
        pair = {"取消", "Cancel"};
        break;
    case ReportText::SaveCaption:
        pair = {"保存报告", "Save the report"};
        break;
    case ReportText::Making:
        pair = {"正在生成报告…", "Making the report…"};
        break;
    case ReportText::Saved:
        pair = {"报告已保存: %1", "The report was saved: %1"};
        break;
    case ReportText::Failed:
        pair = {"生成报告失败! %1", "The report could not be made! %1"};
        break;
    case ReportText::NeedsFile:
        pair = {"PDF 报告只能写入文件", "a PDF report is written into a file only"};
        break;
    }
    return QString::fromUtf8(chinese ? pair.zh : pair.en);
}

} // namespace ReportTexts
