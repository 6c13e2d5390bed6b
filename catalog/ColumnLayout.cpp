#include "ColumnLayout.h"

namespace {

const QList<MeasurementColumn> &standardColumns()
{
    static const QList<MeasurementColumn> columns{
        {0, "照度", "Illuminance"},     {1, "最大值", "MAX"},       {2, "最小值", "MIN"},
        {3, "平均值", "AVG"},           {4, "色温", "CCT"},         {5, "紫外指数", "UVI"},
        {6, "闪烁频率", "Flic Freq"},   {7, "波动深度", "Percent"}, {10, "显色指数Ra", "Ra"},
        {11, "温度", "Temperature"},    {12, "湿度", "Humidity"},   {13, "色容差", "SDCM"},
        {14, "蓝光危害比", "BLHazard"},
    };
    return columns;
}

const QList<MeasurementColumn> &ppfdColumns()
{
    static const QList<MeasurementColumn> columns{
        {48, "PPFD", "PPFD"},
        {49, "最大值", "MAX"},
        {50, "最小值", "MIN"},
        {51, "平均值", "AVG"},
        {52, "PPFD蓝", "PPFD Blue"},
        {53, "PPFD绿", "PPFD Green"},
        {54, "PPFD红", "PPFD Red"},
        {55, "YPFD", "YPFD"},
        {56, "叶绿素a", "Chlorophyll a"},
        {57, "叶绿素b", "Chlorophyll b"},
        {11, "温度", "Temperature"},
        {12, "湿度", "Humidity"},
    };
    return columns;
}

const QList<MeasurementColumn> &illuminanceUvColumns()
{
    static const QList<MeasurementColumn> columns{
        {0, "照度", "Illuminance"}, {1, "照度最大值", "Illuminance MAX"},
        {46, "紫外功率", "Power"},  {47, "紫外功率最大值", "Power MAX"},
        {4, "色温", "CCT"},
    };
    return columns;
}

const QList<MeasurementColumn> &luminanceColumns()
{
    static const QList<MeasurementColumn> columns{
        {0, "亮度", "Luminance"}, {1, "最大值", "MAX"},         {2, "最小值", "MIN"},       {3, "平均值", "AVG"},
        {4, "色温", "CCT"},       {6, "闪烁频率", "Flic Freq"}, {7, "波动深度", "Percent"}, {10, "显色指数Ra", "Ra"},
    };
    return columns;
}

const QList<MeasurementColumn> &spectralIlluminanceColumns()
{
    static const QList<MeasurementColumn> columns{
        {0, "照度", "Illuminance"}, {1, "最大值", "MAX"},     {2, "最小值", "MIN"},   {3, "平均值", "AVG"},
        {4, "色温", "CCT"},         {10, "显色指数Ra", "Ra"}, {13, "色容差", "SDCM"}, {14, "蓝光危害比", "BLHazard"},
    };
    return columns;
}

const QList<MeasurementColumn> &probeColumns()
{
    static const QList<MeasurementColumn> columns{
        {0, "探头型号", "Probe"},       {1, "功率实时值", "Power RT"},  {2, "功率最大值", "Power MAX"},
        {3, "功率最小值", "Power MIN"}, {4, "功率平均值", "Power AVG"}, {5, "功率均匀度", "Power UE"},
        {6, "能量实时值", "Energy"},    {7, "测量时间", "Time"},
    };
    return columns;
}

} // namespace

QString MeasurementColumn::title(bool chinese) const
{
    return QString::fromUtf8(chinese ? chineseTitle : englishTitle);
}

std::optional<ColumnLayout> ColumnLayout::select(int uiIndex, int mode)
{
    switch (uiIndex) {
    case 1:
        return ColumnLayout{false, mode == 1 ? ppfdColumns() : standardColumns()};
    case 2:
        return ColumnLayout{false, illuminanceUvColumns()};
    case 3:
        return ColumnLayout{false, luminanceColumns()};
    case 4:
        return ColumnLayout{true, mode == 1 ? ppfdColumns() : standardColumns()};
    case 5:
        return ColumnLayout{false, spectralIlluminanceColumns()};
    case 6:
        return ColumnLayout{true, probeColumns()};
    default:
        return std::nullopt;
    }
}

QString ColumnLayout::testNameTitle(bool chinese)
{
    return chinese ? QString::fromUtf8("名称") : QStringLiteral("Test Name");
}

QString ColumnLayout::operationTitle(bool chinese)
{
    return chinese ? QString::fromUtf8("操作") : QStringLiteral("Operation");
}
