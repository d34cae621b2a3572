<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en">
<context>
    <name>ApplicationListView</name>
    <message numerus="yes">
        <source>%n applications found</source>
        <translation>
            <numerusform>%n application found</numerusform>
            <numerusform>%n applications found</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>BoardView</name>
    <message numerus="yes">
        <source>%1, %n applications</source>
        <comment>A board column; %1 is the status</comment>
        <translation>
            <numerusform>%1, %n application</numerusform>
            <numerusform>%1, %n applications</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DetailHeader</name>
    <message numerus="yes">
        <source>Closed in %n days</source>
        <comment>%n is the number of days from applying to the end</comment>
        <translation>
            <numerusform>Closed in %n day</numerusform>
            <numerusform>Closed in %n days</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>MailImportSheet</name>
    <message numerus="yes">
        <source>Apply %n Changes</source>
        <comment>Mail review button; %n is the number of changes</comment>
        <translation>
            <numerusform>Apply %n Change</numerusform>
            <numerusform>Apply %n Changes</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>MailMatcher</name>
    <message numerus="yes">
        <source>%n applications at %1; nothing in the message says which</source>
        <translation>
            <numerusform>%n application at %1; nothing in the message says which</numerusform>
            <numerusform>%n applications at %1; nothing in the message says which</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PostingImportSheet</name>
    <message numerus="yes">
        <source>Add %n Applications</source>
        <comment>Review sheet button; %n is the number of drafts to add</comment>
        <translation>
            <numerusform>Add %n Application</numerusform>
            <numerusform>Add %n Applications</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Discard %n reviewed postings?</source>
        <comment>Review sheet: asked on Cancel after drafts were edited</comment>
        <translation>
            <numerusform>Discard %n reviewed posting?</numerusform>
            <numerusform>Discard %n reviewed postings?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TimelineSection</name>
    <message numerus="yes">
        <source>%n days</source>
        <comment>Days in the current stage</comment>
        <translation>
            <numerusform>%n day</numerusform>
            <numerusform>%n days</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>WaitingBadge</name>
    <message numerus="yes">
        <source>Waiting %n days</source>
        <comment>%n is the number of days</comment>
        <translation>
            <numerusform>Waiting %n day</numerusform>
            <numerusform>Waiting %n days</numerusform>
        </translation>
    </message>
</context>
</TS>