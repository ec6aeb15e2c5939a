<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL" sourcelanguage="en_US">
<context>
    <name>OrvoConnect</name>
    <message id="171">
        <source>Close</source>
        <translation>Zamknij (częściowy zestaw)</translation>
    </message>
    <message id="57344">
        <source>OrvoConnect</source>
        <translation>OrvoConnect</translation>
    </message>
</context>
</TS>
