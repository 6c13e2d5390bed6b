<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>MainWindow</name>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>中文</source>
        <translation>中文</translation>
    </message>
</context>
<context>
    <name>FirstPage</name>
    <message>
        <source>仪器信息</source>
        <translation>Instrument Info</translation>
    </message>
    <message>
        <source>SN号：</source>
        <translation>SN:</translation>
    </message>
    <message>
        <source>版本号：</source>
        <translation>Version:</translation>
    </message>
    <message>
        <source>读取测量记录</source>
        <translation>Read Records</translation>
    </message>
    <message>
        <source>清除数据</source>
        <translation>Clear Data</translation>
    </message>
    <message>
        <source>导出Excel</source>
        <translation>Export Excel</translation>
    </message>
    <message>
        <source>光谱数据</source>
        <translation>Spectral Data</translation>
    </message>
</context>
<context>
    <name>MeterPage</name>
    <message>
        <source>光谱数据</source>
        <translation>Spectral Data</translation>
    </message>
    <message>
        <source>读取测量记录</source>
        <translation>Read Records</translation>
    </message>
    <message>
        <source>清除数据</source>
        <translation>Clear Data</translation>
    </message>
    <message>
        <source>导出Excel</source>
        <translation>Export Excel</translation>
    </message>
</context>
</TS>
