<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>FirstPage</name>
    <message>
        <source>仪器信息</source>
        <translation>From the working directory</translation>
    </message>
</context>
</TS>
