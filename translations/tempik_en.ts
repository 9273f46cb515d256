<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>tempik::ui::LinkFollowView</name>
    <message numerus="yes">
        <source>Link · %n peer(s) · %1</source>
        <extracomment>%n peers in the session, %1 its tempo in BPM.</extracomment>
        <translation>
            <numerusform>Link · %n peer · %1</numerusform>
            <numerusform>Link · %n peers · %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Link: %n peer(s), %1 BPM</source>
        <translation>
            <numerusform>Link: %n peer, %1 BPM</numerusform>
            <numerusform>Link: %n peers, %1 BPM</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>tempik::ui::MidiWords</name>
    <message numerus="yes">
        <source>%n source(s) connected</source>
        <translation>
            <numerusform>%n source connected</numerusform>
            <numerusform>%n sources connected</numerusform>
        </translation>
    </message>
</context>
</TS>
