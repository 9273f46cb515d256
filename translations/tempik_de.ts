<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>tempik::ui::AboutDialog</name>
    <message>
        <source>About tempik</source>
        <translation>Über tempik</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Released under the MIT licence.</source>
        <translation>Veröffentlicht unter der MIT-Lizenz.</translation>
    </message>
    <message>
        <source>tempik&apos;s own files are under the MIT licence. This build includes Ableton Link (GPL-2.0-or-later) and is distributed as a whole under the GNU GPL, version 2 or later.</source>
        <translation>tempiks eigene Dateien stehen unter der MIT-Lizenz. Dieser Build enthält Ableton Link (GPL-2.0-or-later) und wird als Ganzes unter der GNU GPL, Version 2 oder später, verbreitet.</translation>
    </message>
</context>
<context>
    <name>tempik::ui::ContentView</name>
    <message>
        <source>Eos Host IP</source>
        <extracomment>The field for the console&apos;s address; Eos as the console is named.</extracomment>
        <translation>Eos-Host-IP</translation>
    </message>
    <message>
        <source>BPM FX</source>
        <extracomment>The field for the effects whose BPM tempik sets; keep it short.</extracomment>
        <translation>BPM FX</translation>
    </message>
    <message>
        <source>BPM Macro</source>
        <extracomment>The field for the macro whose label shows the tempo; keep it short.</extracomment>
        <translation>BPM-Macro</translation>
    </message>
    <message>
        <source>The console&apos;s IP address or host name</source>
        <translation>IP-Adresse oder Hostname des Pults</translation>
    </message>
    <message>
        <source>e.g. 10 17 21 (or) 390-400</source>
        <translation>z. B. 10 17 21 (oder) 390-400</translation>
    </message>
    <message>
        <source>The effects to set: a list of numbers or a range</source>
        <translation>Die Effects, deren BPM gesetzt wird: eine Liste von Nummern oder ein Bereich</translation>
    </message>
    <message>
        <source>e.g. 901</source>
        <translation>z. B. 901</translation>
    </message>
    <message>
        <source>One macro whose label shows the tempo</source>
        <translation>Ein Macro, dessen Label das Tempo zeigt</translation>
    </message>
    <message>
        <source>Multiplier</source>
        <extracomment>Half, normal or double time for every tempo sent.</extracomment>
        <translation>Multiplikator</translation>
    </message>
    <message>
        <source>%1 BPM, not sent</source>
        <translation>%1 BPM, nicht gesendet</translation>
    </message>
    <message>
        <source>%1 BPM</source>
        <translation>%1 BPM</translation>
    </message>
    <message>
        <source>%1 BPM sent</source>
        <translation>%1 BPM gesendet</translation>
    </message>
    <message>
        <source>Settings cannot be saved in %1 (%2): edits last until tempik closes.</source>
        <extracomment>%1 is a folder, %2 why it cannot be written.</extracomment>
        <translation>Einstellungen können nicht in %1 gespeichert werden (%2): Änderungen gelten, bis tempik beendet wird.</translation>
    </message>
</context>
<context>
    <name>tempik::ui::Credits</name>
    <message>
        <source>Made by the tempik developers</source>
        <translation>Von den tempik-Entwicklern</translation>
    </message>
</context>
<context>
    <name>tempik::ui::EosConnectionStatusView</name>
    <message>
        <source>Connected</source>
        <translation>Verbunden</translation>
    </message>
    <message>
        <source>Not Connected</source>
        <translation>Nicht verbunden</translation>
    </message>
    <message>
        <source>Check the address above.</source>
        <translation>Adresse oben prüfen.</translation>
    </message>
    <message>
        <source>The console refused the connection. Is OSC TCP on, with port 3038 among its server ports?</source>
        <translation>Das Pult hat die Verbindung abgelehnt. Ist OSC TCP an, mit Port 3038 unter den Server-Ports?</translation>
    </message>
    <message>
        <source>No answer within 5 seconds. Check the address and the network.</source>
        <translation>Keine Antwort innerhalb von 5 Sekunden. Adresse und Netzwerk prüfen.</translation>
    </message>
    <message>
        <source>Host name not found. Check its spelling, or use the IP address.</source>
        <translation>Hostname nicht gefunden. Schreibweise prüfen oder die IP-Adresse verwenden.</translation>
    </message>
    <message>
        <source>Network unreachable. Check the cable and the address.</source>
        <translation>Netzwerk nicht erreichbar. Kabel und Adresse prüfen.</translation>
    </message>
    <message>
        <source>The console closed the connection. Reconnecting…</source>
        <translation>Das Pult hat die Verbindung beendet. Verbinde neu…</translation>
    </message>
    <message>
        <source>The connection was reset. Reconnecting…</source>
        <translation>Die Verbindung wurde zurückgesetzt. Verbinde neu…</translation>
    </message>
    <message>
        <source>The console stopped answering. Reconnecting…</source>
        <translation>Das Pult antwortet nicht mehr. Verbinde neu…</translation>
    </message>
    <message>
        <source>The connection failed. Retrying…</source>
        <translation>Verbindung fehlgeschlagen. Neuer Versuch…</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <extracomment>What a screen reader hears: the status (%1) and why (%2).</extracomment>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>tempik::ui::Hints</name>
    <message>
        <source>Enter the console&apos;s IP address or host name</source>
        <translation>IP-Adresse oder Hostname des Pults eingeben</translation>
    </message>
    <message>
        <source>Leave out the port: tempik always uses 3038</source>
        <translation>Ohne Port: tempik nutzt immer 3038</translation>
    </message>
    <message>
        <source>Each part of an IP address is a number from 0 to 255</source>
        <translation>Jeder Teil einer IP-Adresse ist eine Zahl von 0 bis 255</translation>
    </message>
    <message>
        <source>Enter an IP address like 10.101.100.101 or a host name</source>
        <translation>IP-Adresse wie 10.101.100.101 oder einen Hostnamen eingeben</translation>
    </message>
    <message>
        <source>Enter Effect numbers to apply this to or a range like 3000-4000</source>
        <translation>Effect-Nummern eingeben, für die das gilt, oder einen Bereich wie 3000-4000</translation>
    </message>
    <message>
        <source>Enter a single Macro number</source>
        <translation>Eine einzelne Macro-Nummer eingeben</translation>
    </message>
</context>
<context>
    <name>tempik::ui::LinkFollowView</name>
    <message>
        <source>Follow Ableton Link</source>
        <translation>Ableton Link folgen</translation>
    </message>
    <message>
        <source>Link · joining…</source>
        <translation>Link · tritt bei…</translation>
    </message>
    <message>
        <source>Link: joining</source>
        <translation>Link: tritt bei</translation>
    </message>
    <message>
        <source>Link · no peers</source>
        <translation>Link · keine Peers</translation>
    </message>
    <message>
        <source>Link: no peers</source>
        <translation>Link: keine Peers</translation>
    </message>
    <message numerus="yes">
        <source>Link · %n peer(s) · %1</source>
        <extracomment>%n peers in the session, %1 its tempo in BPM.</extracomment>
        <translation>
            <numerusform>Link · %n Peer · %1</numerusform>
            <numerusform>Link · %n Peers · %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Link: %n peer(s), %1 BPM</source>
        <translation>
            <numerusform>Link: %n Peer, %1 BPM</numerusform>
            <numerusform>Link: %n Peers, %1 BPM</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>tempik::ui::MidiView</name>
    <message>
        <source>MIDI input</source>
        <translation>MIDI-Eingang</translation>
    </message>
    <message>
        <source>Learn</source>
        <extracomment>Button: the next MIDI note or controller that arrives becomes the tap.</extracomment>
        <translation>Lernen</translation>
    </message>
    <message>
        <source>Clear</source>
        <extracomment>Button: forget the MIDI tap.</extracomment>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Clear the MIDI tap</source>
        <translation>MIDI-Tap löschen</translation>
    </message>
    <message>
        <source>Follow MIDI clock</source>
        <translation>MIDI-Clock folgen</translation>
    </message>
    <message>
        <source>MIDI Input</source>
        <translation>MIDI-Eingang</translation>
    </message>
    <message>
        <source>MIDI Tap</source>
        <translation>MIDI-Tap</translation>
    </message>
    <message>
        <source>All</source>
        <extracomment>The MIDI sources tempik connects to: every one there is, or none.</extracomment>
        <translation>Alle</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>%1 chosen. %2</source>
        <translation>%1 gewählt. %2</translation>
    </message>
    <message>
        <source>MIDI tap: %1</source>
        <translation>MIDI-Tap: %1</translation>
    </message>
    <message>
        <source>Cancel</source>
        <extracomment>Button: stop waiting for a MIDI note or controller to learn.</extracomment>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Cancel learning</source>
        <translation>Lernen abbrechen</translation>
    </message>
    <message>
        <source>Learn the MIDI tap</source>
        <translation>MIDI-Tap lernen</translation>
    </message>
</context>
<context>
    <name>tempik::ui::MidiWords</name>
    <message>
        <source>MIDI input: %1</source>
        <translation>MIDI-Eingang: %1</translation>
    </message>
    <message>
        <source>MIDI tap: %1</source>
        <translation>MIDI-Tap: %1</translation>
    </message>
    <message>
        <source>MIDI tap learned: %1</source>
        <translation>MIDI-Tap gelernt: %1</translation>
    </message>
    <message>
        <source>None</source>
        <extracomment>No MIDI tap learned, as shown and as spoken.</extracomment>
        <translation>Keiner</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keiner</translation>
    </message>
    <message>
        <source>Note %1 · ch %2</source>
        <extracomment>The MIDI tap, short: note number %1 on MIDI channel %2.</extracomment>
        <translation>Note %1 · Kan. %2</translation>
    </message>
    <message>
        <source>note %1 on channel %2</source>
        <translation>Note %1 auf Kanal %2</translation>
    </message>
    <message>
        <source>CC %1 · ch %2</source>
        <extracomment>The MIDI tap, short: controller (control change) number %1 on MIDI channel %2.</extracomment>
        <translation>CC %1 · Kan. %2</translation>
    </message>
    <message>
        <source>controller %1 on channel %2</source>
        <translation>Controller %1 auf Kanal %2</translation>
    </message>
    <message>
        <source>Waiting for MIDI…</source>
        <extracomment>While Learn waits for the pad, key or pedal to be hit.</extracomment>
        <translation>Warte auf MIDI…</translation>
    </message>
    <message>
        <source>waiting for a note or a controller</source>
        <translation>wartet auf eine Note oder einen Controller</translation>
    </message>
    <message>
        <source>MIDI · looking for sources…</source>
        <translation>MIDI · sucht Quellen…</translation>
    </message>
    <message>
        <source>MIDI: looking for sources</source>
        <translation>MIDI: sucht Quellen</translation>
    </message>
    <message>
        <source>MIDI: none found</source>
        <translation>MIDI: keins gefunden</translation>
    </message>
    <message>
        <source>no source connected</source>
        <translation>keine Quelle verbunden</translation>
    </message>
    <message numerus="yes">
        <source>%n source(s) connected</source>
        <translation>
            <numerusform>%n Quelle verbunden</numerusform>
            <numerusform>%n Quellen verbunden</numerusform>
        </translation>
    </message>
    <message>
        <source>MIDI</source>
        <translation>MIDI</translation>
    </message>
    <message>
        <source>MIDI: %1</source>
        <translation>MIDI: %1</translation>
    </message>
    <message>
        <source>MIDI: connected to %1</source>
        <translation>MIDI: verbunden mit %1</translation>
    </message>
    <message>
        <source>%1 gone</source>
        <extracomment>%1 is a MIDI source (&quot;nanoPAD2&quot;) or MIDI system (&quot;JACK&quot;) that went away.</extracomment>
        <translation>%1 weg</translation>
    </message>
    <message>
        <source>MIDI clock · waiting…</source>
        <translation>MIDI-Clock · wartet…</translation>
    </message>
    <message>
        <source>MIDI clock: waiting for a clock</source>
        <translation>MIDI-Clock: wartet auf eine Clock</translation>
    </message>
    <message>
        <source>MIDI clock · counting…</source>
        <translation>MIDI-Clock · zählt…</translation>
    </message>
    <message>
        <source>MIDI clock: counting the first beats</source>
        <translation>MIDI-Clock: zählt die ersten Beats</translation>
    </message>
    <message>
        <source>MIDI clock · %1 BPM</source>
        <translation>MIDI-Clock · %1 BPM</translation>
    </message>
    <message>
        <source>MIDI clock: %1 BPM</source>
        <translation>MIDI-Clock: %1 BPM</translation>
    </message>
    <message>
        <source>MIDI clock · stopped</source>
        <translation>MIDI-Clock · gestoppt</translation>
    </message>
    <message>
        <source>MIDI clock: stopped</source>
        <translation>MIDI-Clock: gestoppt</translation>
    </message>
    <message>
        <source>%1 (not found)</source>
        <extracomment>%1 is a chosen MIDI source that is not plugged in.</extracomment>
        <translation>%1 (nicht gefunden)</translation>
    </message>
</context>
<context>
    <name>tempik::ui::MultiplierButtons</name>
    <message>
        <source>Half time</source>
        <translation>Halbes Tempo</translation>
    </message>
    <message>
        <source>Normal time</source>
        <translation>Normales Tempo</translation>
    </message>
    <message>
        <source>Double time</source>
        <translation>Doppeltes Tempo</translation>
    </message>
</context>
<context>
    <name>tempik::ui::PulsingTapButton</name>
    <message>
        <source>Tap tempo</source>
        <translation>Tempo tippen</translation>
    </message>
    <message>
        <source>No tempo</source>
        <translation>Kein Tempo</translation>
    </message>
    <message>
        <source>%1 BPM, not sent</source>
        <translation>%1 BPM, nicht gesendet</translation>
    </message>
    <message>
        <source>%1 BPM</source>
        <translation>%1 BPM</translation>
    </message>
    <message>
        <source>%1, half time</source>
        <extracomment>%1 is the tempo as said above (&quot;120 BPM&quot;, &quot;No tempo&quot;).</extracomment>
        <translation>%1, halbes Tempo</translation>
    </message>
    <message>
        <source>%1, double time</source>
        <translation>%1, doppeltes Tempo</translation>
    </message>
    <message>
        <source>BPM</source>
        <extracomment>Under the tempo on the button; Eos writes BPM.</extracomment>
        <translation>BPM</translation>
    </message>
    <message>
        <source>not sent</source>
        <extracomment>Under the tempo on the button: the console has not got it. Keep it short.</extracomment>
        <translation>nicht gesendet</translation>
    </message>
</context>
<context>
    <name>tempik::ui::QtSettingsStore</name>
    <message>
        <source>the folder cannot be made</source>
        <translation>der Ordner lässt sich nicht anlegen</translation>
    </message>
    <message>
        <source>the folder is not writable</source>
        <translation>der Ordner ist schreibgeschützt</translation>
    </message>
    <message>
        <source>the file is not writable</source>
        <translation>die Datei ist schreibgeschützt</translation>
    </message>
</context>
<context>
    <name>tempik::ui::TapWindowDots</name>
    <message>
        <source>%1 of %2 taps</source>
        <translation>%1 von %2 Taps</translation>
    </message>
</context>
<context>
    <name>tempik::ui::TempikApp</name>
    <message>
        <source>About tempik</source>
        <translation>Über tempik</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
</context>
</TS>
