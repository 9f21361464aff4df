<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>language</name>
    <message>
        <source>--lang needs a value: zh or en</source>
        <translation>--lang needs a value: zh or en</translation>
    </message>
    <message>
        <source>unknown language &quot;%1&quot; (zh or en)</source>
        <translation>unknown language &quot;%1&quot; (zh or en)</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>界面语言将在程序下次启动时切换。</source>
        <translation>The new language takes effect the next time Tarnquill starts.</translation>
    </message>
</context>
</TS>
