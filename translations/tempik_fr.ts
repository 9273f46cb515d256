<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>tempik::ui::AboutDialog</name>
    <message>
        <source>About tempik</source>
        <translation>À propos de tempik</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Released under the MIT licence.</source>
        <translation>Publié sous licence MIT.</translation>
    </message>
    <message>
        <source>tempik&apos;s own files are under the MIT licence. This build includes Ableton Link (GPL-2.0-or-later) and is distributed as a whole under the GNU GPL, version 2 or later.</source>
        <translation>Les fichiers propres à tempik sont sous licence MIT. Cette version inclut Ableton Link (GPL-2.0-or-later) et est distribuée dans son ensemble sous la GNU GPL, version 2 ou ultérieure.</translation>
    </message>
</context>
<context>
    <name>tempik::ui::ContentView</name>
    <message>
        <source>Eos Host IP</source>
        <extracomment>The field for the console&apos;s address; Eos as the console is named.</extracomment>
        <translation>IP hôte Eos</translation>
    </message>
    <message>
        <source>BPM FX</source>
        <extracomment>The field for the effects whose BPM tempik sets; keep it short.</extracomment>
        <translation>FX BPM</translation>
    </message>
    <message>
        <source>BPM Macro</source>
        <extracomment>The field for the macro whose label shows the tempo; keep it short.</extracomment>
        <translation>Macro BPM</translation>
    </message>
    <message>
        <source>The console&apos;s IP address or host name</source>
        <translation>Adresse IP ou nom d’hôte de la console</translation>
    </message>
    <message>
        <source>e.g. 10 17 21 (or) 390-400</source>
        <translation>ex. 10 17 21 (ou) 390-400</translation>
    </message>
    <message>
        <source>The effects to set: a list of numbers or a range</source>
        <translation>Les Effects à régler&#xa0;: une liste de numéros ou une plage</translation>
    </message>
    <message>
        <source>e.g. 901</source>
        <translation>ex. 901</translation>
    </message>
    <message>
        <source>One macro whose label shows the tempo</source>
        <translation>Une Macro dont le label affiche le tempo</translation>
    </message>
    <message>
        <source>Multiplier</source>
        <extracomment>Half, normal or double time for every tempo sent.</extracomment>
        <translation>Multiplicateur</translation>
    </message>
    <message>
        <source>%1 BPM, not sent</source>
        <translation>%1 BPM, non envoyé</translation>
    </message>
    <message>
        <source>%1 BPM</source>
        <translation>%1 BPM</translation>
    </message>
    <message>
        <source>%1 BPM sent</source>
        <translation>%1 BPM envoyé</translation>
    </message>
    <message>
        <source>Settings cannot be saved in %1 (%2): edits last until tempik closes.</source>
        <extracomment>%1 is a folder, %2 why it cannot be written.</extracomment>
        <translation>Impossible d’enregistrer les réglages dans %1 (%2)&#xa0;: les modifications durent jusqu’à la fermeture de tempik.</translation>
    </message>
</context>
<context>
    <name>tempik::ui::Credits</name>
    <message>
        <source>Made by the tempik developers</source>
        <translation>Réalisé par les développeurs de tempik</translation>
    </message>
</context>
<context>
    <name>tempik::ui::EosConnectionStatusView</name>
    <message>
        <source>Connected</source>
        <translation>Connecté</translation>
    </message>
    <message>
        <source>Not Connected</source>
        <translation>Non connecté</translation>
    </message>
    <message>
        <source>Check the address above.</source>
        <translation>Vérifiez l’adresse ci-dessus.</translation>
    </message>
    <message>
        <source>The console refused the connection. Is OSC TCP on, with port 3038 among its server ports?</source>
        <translation>La console a refusé la connexion. OSC TCP est-il activé, avec le port 3038 parmi ses ports serveur&#xa0;?</translation>
    </message>
    <message>
        <source>No answer within 5 seconds. Check the address and the network.</source>
        <translation>Pas de réponse en 5 secondes. Vérifiez l’adresse et le réseau.</translation>
    </message>
    <message>
        <source>Host name not found. Check its spelling, or use the IP address.</source>
        <translation>Nom d’hôte introuvable. Vérifiez l’orthographe ou utilisez l’adresse IP.</translation>
    </message>
    <message>
        <source>Network unreachable. Check the cable and the address.</source>
        <translation>Réseau injoignable. Vérifiez le câble et l’adresse.</translation>
    </message>
    <message>
        <source>The console closed the connection. Reconnecting…</source>
        <translation>La console a fermé la connexion. Reconnexion…</translation>
    </message>
    <message>
        <source>The connection was reset. Reconnecting…</source>
        <translation>La connexion a été réinitialisée. Reconnexion…</translation>
    </message>
    <message>
        <source>The console stopped answering. Reconnecting…</source>
        <translation>La console ne répond plus. Reconnexion…</translation>
    </message>
    <message>
        <source>The connection failed. Retrying…</source>
        <translation>La connexion a échoué. Nouvelle tentative…</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <extracomment>What a screen reader hears: the status (%1) and why (%2).</extracomment>
        <translation>%1&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>tempik::ui::Hints</name>
    <message>
        <source>Enter the console&apos;s IP address or host name</source>
        <translation>Saisissez l’adresse IP ou le nom d’hôte de la console</translation>
    </message>
    <message>
        <source>Leave out the port: tempik always uses 3038</source>
        <translation>Omettez le port&#xa0;: tempik utilise toujours 3038</translation>
    </message>
    <message>
        <source>Each part of an IP address is a number from 0 to 255</source>
        <translation>Chaque partie d’une adresse IP est un nombre de 0 à 255</translation>
    </message>
    <message>
        <source>Enter an IP address like 10.101.100.101 or a host name</source>
        <translation>Saisissez une adresse IP comme 10.101.100.101 ou un nom d’hôte</translation>
    </message>
    <message>
        <source>Enter Effect numbers to apply this to or a range like 3000-4000</source>
        <translation>Saisissez les numéros d’Effect concernés ou une plage comme 3000-4000</translation>
    </message>
    <message>
        <source>Enter a single Macro number</source>
        <translation>Saisissez un seul numéro de Macro</translation>
    </message>
</context>
<context>
    <name>tempik::ui::LinkFollowView</name>
    <message>
        <source>Follow Ableton Link</source>
        <translation>Suivre Ableton Link</translation>
    </message>
    <message>
        <source>Link · joining…</source>
        <translation>Link · connexion…</translation>
    </message>
    <message>
        <source>Link: joining</source>
        <translation>Link&#xa0;: connexion en cours</translation>
    </message>
    <message>
        <source>Link · no peers</source>
        <translation>Link · aucun pair</translation>
    </message>
    <message>
        <source>Link: no peers</source>
        <translation>Link&#xa0;: aucun pair</translation>
    </message>
    <message numerus="yes">
        <source>Link · %n peer(s) · %1</source>
        <extracomment>%n peers in the session, %1 its tempo in BPM.</extracomment>
        <translation>
            <numerusform>Link · %n pair · %1</numerusform>
            <numerusform>Link · %n pairs · %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Link: %n peer(s), %1 BPM</source>
        <translation>
            <numerusform>Link&#xa0;: %n pair, %1 BPM</numerusform>
            <numerusform>Link&#xa0;: %n pairs, %1 BPM</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>tempik::ui::MidiView</name>
    <message>
        <source>MIDI input</source>
        <translation>Entrée MIDI</translation>
    </message>
    <message>
        <source>Learn</source>
        <extracomment>Button: the next MIDI note or controller that arrives becomes the tap.</extracomment>
        <translation>Apprendre</translation>
    </message>
    <message>
        <source>Clear</source>
        <extracomment>Button: forget the MIDI tap.</extracomment>
        <translation>Effacer</translation>
    </message>
    <message>
        <source>Clear the MIDI tap</source>
        <translation>Effacer le tap MIDI</translation>
    </message>
    <message>
        <source>Follow MIDI clock</source>
        <translation>Suivre l’horloge MIDI</translation>
    </message>
    <message>
        <source>MIDI Input</source>
        <translation>Entrée MIDI</translation>
    </message>
    <message>
        <source>MIDI Tap</source>
        <translation>Tap MIDI</translation>
    </message>
    <message>
        <source>All</source>
        <extracomment>The MIDI sources tempik connects to: every one there is, or none.</extracomment>
        <translation>Toutes</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Aucune</translation>
    </message>
    <message>
        <source>%1 chosen. %2</source>
        <translation>Choix : %1. %2</translation>
    </message>
    <message>
        <source>MIDI tap: %1</source>
        <translation>Tap MIDI : %1</translation>
    </message>
    <message>
        <source>Cancel</source>
        <extracomment>Button: stop waiting for a MIDI note or controller to learn.</extracomment>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Cancel learning</source>
        <translation>Annuler l’apprentissage</translation>
    </message>
    <message>
        <source>Learn the MIDI tap</source>
        <translation>Apprendre le tap MIDI</translation>
    </message>
</context>
<context>
    <name>tempik::ui::MidiWords</name>
    <message>
        <source>MIDI input: %1</source>
        <translation>Entrée MIDI : %1</translation>
    </message>
    <message>
        <source>MIDI tap: %1</source>
        <translation>Tap MIDI : %1</translation>
    </message>
    <message>
        <source>MIDI tap learned: %1</source>
        <translation>Tap MIDI appris : %1</translation>
    </message>
    <message>
        <source>None</source>
        <extracomment>No MIDI tap learned, as shown and as spoken.</extracomment>
        <translation>Aucun</translation>
    </message>
    <message>
        <source>none</source>
        <translation>aucun</translation>
    </message>
    <message>
        <source>Note %1 · ch %2</source>
        <extracomment>The MIDI tap, short: note number %1 on MIDI channel %2.</extracomment>
        <translation>Note %1 · can. %2</translation>
    </message>
    <message>
        <source>note %1 on channel %2</source>
        <translation>note %1 sur le canal %2</translation>
    </message>
    <message>
        <source>CC %1 · ch %2</source>
        <extracomment>The MIDI tap, short: controller (control change) number %1 on MIDI channel %2.</extracomment>
        <translation>CC %1 · can. %2</translation>
    </message>
    <message>
        <source>controller %1 on channel %2</source>
        <translation>contrôleur %1 sur le canal %2</translation>
    </message>
    <message>
        <source>Waiting for MIDI…</source>
        <extracomment>While Learn waits for the pad, key or pedal to be hit.</extracomment>
        <translation>En attente de MIDI…</translation>
    </message>
    <message>
        <source>waiting for a note or a controller</source>
        <translation>en attente d’une note ou d’un contrôleur</translation>
    </message>
    <message>
        <source>MIDI · looking for sources…</source>
        <translation>MIDI · recherche des sources…</translation>
    </message>
    <message>
        <source>MIDI: looking for sources</source>
        <translation>MIDI : recherche des sources</translation>
    </message>
    <message>
        <source>MIDI: none found</source>
        <translation>MIDI : aucun trouvé</translation>
    </message>
    <message>
        <source>no source connected</source>
        <translation>aucune source connectée</translation>
    </message>
    <message numerus="yes">
        <source>%n source(s) connected</source>
        <translation>
            <numerusform>%n source connectée</numerusform>
            <numerusform>%n sources connectées</numerusform>
        </translation>
    </message>
    <message>
        <source>MIDI</source>
        <translation>MIDI</translation>
    </message>
    <message>
        <source>MIDI: %1</source>
        <translation>MIDI : %1</translation>
    </message>
    <message>
        <source>MIDI: connected to %1</source>
        <translation>MIDI : connecté à %1</translation>
    </message>
    <message>
        <source>%1 gone</source>
        <extracomment>%1 is a MIDI source (&quot;nanoPAD2&quot;) or MIDI system (&quot;JACK&quot;) that went away.</extracomment>
        <translation>%1 disparu</translation>
    </message>
    <message>
        <source>MIDI clock · waiting…</source>
        <translation>Horloge MIDI · en attente…</translation>
    </message>
    <message>
        <source>MIDI clock: waiting for a clock</source>
        <translation>Horloge MIDI : en attente d’une horloge</translation>
    </message>
    <message>
        <source>MIDI clock · counting…</source>
        <translation>Horloge MIDI · comptage…</translation>
    </message>
    <message>
        <source>MIDI clock: counting the first beats</source>
        <translation>Horloge MIDI : comptage des premiers temps</translation>
    </message>
    <message>
        <source>MIDI clock · %1 BPM</source>
        <translation>Horloge MIDI · %1 BPM</translation>
    </message>
    <message>
        <source>MIDI clock: %1 BPM</source>
        <translation>Horloge MIDI : %1 BPM</translation>
    </message>
    <message>
        <source>MIDI clock · stopped</source>
        <translation>Horloge MIDI · arrêtée</translation>
    </message>
    <message>
        <source>MIDI clock: stopped</source>
        <translation>Horloge MIDI : arrêtée</translation>
    </message>
    <message>
        <source>%1 (not found)</source>
        <extracomment>%1 is a chosen MIDI source that is not plugged in.</extracomment>
        <translation>%1 (introuvable)</translation>
    </message>
</context>
<context>
    <name>tempik::ui::MultiplierButtons</name>
    <message>
        <source>Half time</source>
        <translation>Demi-tempo</translation>
    </message>
    <message>
        <source>Normal time</source>
        <translation>Tempo normal</translation>
    </message>
    <message>
        <source>Double time</source>
        <translation>Double tempo</translation>
    </message>
</context>
<context>
    <name>tempik::ui::PulsingTapButton</name>
    <message>
        <source>Tap tempo</source>
        <translation>Taper le tempo</translation>
    </message>
    <message>
        <source>No tempo</source>
        <translation>Aucun tempo</translation>
    </message>
    <message>
        <source>%1 BPM, not sent</source>
        <translation>%1 BPM, non envoyé</translation>
    </message>
    <message>
        <source>%1 BPM</source>
        <translation>%1 BPM</translation>
    </message>
    <message>
        <source>%1, half time</source>
        <extracomment>%1 is the tempo as said above (&quot;120 BPM&quot;, &quot;No tempo&quot;).</extracomment>
        <translation>%1, demi-tempo</translation>
    </message>
    <message>
        <source>%1, double time</source>
        <translation>%1, double tempo</translation>
    </message>
    <message>
        <source>BPM</source>
        <extracomment>Under the tempo on the button; Eos writes BPM.</extracomment>
        <translation>BPM</translation>
    </message>
    <message>
        <source>not sent</source>
        <extracomment>Under the tempo on the button: the console has not got it. Keep it short.</extracomment>
        <translation>non envoyé</translation>
    </message>
</context>
<context>
    <name>tempik::ui::QtSettingsStore</name>
    <message>
        <source>the folder cannot be made</source>
        <translation>le dossier ne peut pas être créé</translation>
    </message>
    <message>
        <source>the folder is not writable</source>
        <translation>le dossier n’est pas accessible en écriture</translation>
    </message>
    <message>
        <source>the file is not writable</source>
        <translation>le fichier n’est pas accessible en écriture</translation>
    </message>
</context>
<context>
    <name>tempik::ui::TapWindowDots</name>
    <message>
        <source>%1 of %2 taps</source>
        <translation>%1 frappes sur %2</translation>
    </message>
</context>
<context>
    <name>tempik::ui::TempikApp</name>
    <message>
        <source>About tempik</source>
        <translation>À propos de tempik</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
</context>
</TS>
