<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>tempik::ui::AboutDialog</name>
    <message>
        <source>About tempik</source>
        <translation>Acerca de tempik</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Versión %1</translation>
    </message>
    <message>
        <source>Released under the MIT licence.</source>
        <translation>Publicado bajo la licencia MIT.</translation>
    </message>
    <message>
        <source>tempik&apos;s own files are under the MIT licence. This build includes Ableton Link (GPL-2.0-or-later) and is distributed as a whole under the GNU GPL, version 2 or later.</source>
        <translation>Los archivos propios de tempik están bajo la licencia MIT. Esta compilación incluye Ableton Link (GPL-2.0-or-later) y se distribuye en su conjunto bajo la GNU GPL, versión 2 o posterior.</translation>
    </message>
</context>
<context>
    <name>tempik::ui::ContentView</name>
    <message>
        <source>Eos Host IP</source>
        <extracomment>The field for the console&apos;s address; Eos as the console is named.</extracomment>
        <translation>IP del host Eos</translation>
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
        <translation>Dirección IP o nombre de host de la consola</translation>
    </message>
    <message>
        <source>e.g. 10 17 21 (or) 390-400</source>
        <translation>p. ej. 10 17 21 (o) 390-400</translation>
    </message>
    <message>
        <source>The effects to set: a list of numbers or a range</source>
        <translation>Los Effects que ajustar: una lista de números o un rango</translation>
    </message>
    <message>
        <source>e.g. 901</source>
        <translation>p. ej. 901</translation>
    </message>
    <message>
        <source>One macro whose label shows the tempo</source>
        <translation>Una Macro cuyo label muestra el tempo</translation>
    </message>
    <message>
        <source>Multiplier</source>
        <extracomment>Half, normal or double time for every tempo sent.</extracomment>
        <translation>Multiplicador</translation>
    </message>
    <message>
        <source>%1 BPM, not sent</source>
        <translation>%1 BPM, no enviado</translation>
    </message>
    <message>
        <source>%1 BPM</source>
        <translation>%1 BPM</translation>
    </message>
    <message>
        <source>%1 BPM sent</source>
        <translation>%1 BPM enviado</translation>
    </message>
    <message>
        <source>Settings cannot be saved in %1 (%2): edits last until tempik closes.</source>
        <extracomment>%1 is a folder, %2 why it cannot be written.</extracomment>
        <translation>No se pueden guardar los ajustes en %1 (%2): los cambios duran hasta que se cierre tempik.</translation>
    </message>
</context>
<context>
    <name>tempik::ui::Credits</name>
    <message>
        <source>Made by the tempik developers</source>
        <translation>Hecho por los desarrolladores de tempik</translation>
    </message>
</context>
<context>
    <name>tempik::ui::EosConnectionStatusView</name>
    <message>
        <source>Connected</source>
        <translation>Conectado</translation>
    </message>
    <message>
        <source>Not Connected</source>
        <translation>No conectado</translation>
    </message>
    <message>
        <source>Check the address above.</source>
        <translation>Revise la dirección de arriba.</translation>
    </message>
    <message>
        <source>The console refused the connection. Is OSC TCP on, with port 3038 among its server ports?</source>
        <translation>La consola rechazó la conexión. ¿Está activado OSC TCP, con el puerto 3038 entre sus puertos de servidor?</translation>
    </message>
    <message>
        <source>No answer within 5 seconds. Check the address and the network.</source>
        <translation>Sin respuesta en 5 segundos. Revise la dirección y la red.</translation>
    </message>
    <message>
        <source>Host name not found. Check its spelling, or use the IP address.</source>
        <translation>No se encontró el nombre de host. Revise cómo está escrito o use la dirección IP.</translation>
    </message>
    <message>
        <source>Network unreachable. Check the cable and the address.</source>
        <translation>Red inalcanzable. Revise el cable y la dirección.</translation>
    </message>
    <message>
        <source>The console closed the connection. Reconnecting…</source>
        <translation>La consola cerró la conexión. Reconectando…</translation>
    </message>
    <message>
        <source>The connection was reset. Reconnecting…</source>
        <translation>La conexión se reinició. Reconectando…</translation>
    </message>
    <message>
        <source>The console stopped answering. Reconnecting…</source>
        <translation>La consola dejó de responder. Reconectando…</translation>
    </message>
    <message>
        <source>The connection failed. Retrying…</source>
        <translation>La conexión falló. Reintentando…</translation>
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
        <translation>Escriba la dirección IP o el nombre de host de la consola</translation>
    </message>
    <message>
        <source>Leave out the port: tempik always uses 3038</source>
        <translation>Omita el puerto: tempik siempre usa el 3038</translation>
    </message>
    <message>
        <source>Each part of an IP address is a number from 0 to 255</source>
        <translation>Cada parte de una dirección IP es un número de 0 a 255</translation>
    </message>
    <message>
        <source>Enter an IP address like 10.101.100.101 or a host name</source>
        <translation>Escriba una dirección IP como 10.101.100.101 o un nombre de host</translation>
    </message>
    <message>
        <source>Enter Effect numbers to apply this to or a range like 3000-4000</source>
        <translation>Escriba los números de Effect a los que aplicarlo o un rango como 3000-4000</translation>
    </message>
    <message>
        <source>Enter a single Macro number</source>
        <translation>Escriba un solo número de Macro</translation>
    </message>
</context>
<context>
    <name>tempik::ui::LinkFollowView</name>
    <message>
        <source>Follow Ableton Link</source>
        <translation>Seguir Ableton Link</translation>
    </message>
    <message>
        <source>Link · joining…</source>
        <translation>Link · uniéndose…</translation>
    </message>
    <message>
        <source>Link: joining</source>
        <translation>Link: uniéndose</translation>
    </message>
    <message>
        <source>Link · no peers</source>
        <translation>Link · sin pares</translation>
    </message>
    <message>
        <source>Link: no peers</source>
        <translation>Link: sin pares</translation>
    </message>
    <message numerus="yes">
        <source>Link · %n peer(s) · %1</source>
        <extracomment>%n peers in the session, %1 its tempo in BPM.</extracomment>
        <translation>
            <numerusform>Link · %n par · %1</numerusform>
            <numerusform>Link · %n pares · %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Link: %n peer(s), %1 BPM</source>
        <translation>
            <numerusform>Link: %n par, %1 BPM</numerusform>
            <numerusform>Link: %n pares, %1 BPM</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>tempik::ui::MidiView</name>
    <message>
        <source>MIDI input</source>
        <translation>Entrada MIDI</translation>
    </message>
    <message>
        <source>Learn</source>
        <extracomment>Button: the next MIDI note or controller that arrives becomes the tap.</extracomment>
        <translation>Aprender</translation>
    </message>
    <message>
        <source>Clear</source>
        <extracomment>Button: forget the MIDI tap.</extracomment>
        <translation>Borrar</translation>
    </message>
    <message>
        <source>Clear the MIDI tap</source>
        <translation>Borrar el tap MIDI</translation>
    </message>
    <message>
        <source>Follow MIDI clock</source>
        <translation>Seguir el reloj MIDI</translation>
    </message>
    <message>
        <source>MIDI Input</source>
        <translation>Entrada MIDI</translation>
    </message>
    <message>
        <source>MIDI Tap</source>
        <translation>Tap MIDI</translation>
    </message>
    <message>
        <source>All</source>
        <extracomment>The MIDI sources tempik connects to: every one there is, or none.</extracomment>
        <translation>Todas</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Ninguna</translation>
    </message>
    <message>
        <source>%1 chosen. %2</source>
        <translation>Elegida: %1. %2</translation>
    </message>
    <message>
        <source>MIDI tap: %1</source>
        <translation>Tap MIDI: %1</translation>
    </message>
    <message>
        <source>Cancel</source>
        <extracomment>Button: stop waiting for a MIDI note or controller to learn.</extracomment>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Cancel learning</source>
        <translation>Cancelar el aprendizaje</translation>
    </message>
    <message>
        <source>Learn the MIDI tap</source>
        <translation>Aprender el tap MIDI</translation>
    </message>
</context>
<context>
    <name>tempik::ui::MidiWords</name>
    <message>
        <source>MIDI input: %1</source>
        <translation>Entrada MIDI: %1</translation>
    </message>
    <message>
        <source>MIDI tap: %1</source>
        <translation>Tap MIDI: %1</translation>
    </message>
    <message>
        <source>MIDI tap learned: %1</source>
        <translation>Tap MIDI aprendido: %1</translation>
    </message>
    <message>
        <source>None</source>
        <extracomment>No MIDI tap learned, as shown and as spoken.</extracomment>
        <translation>Ninguno</translation>
    </message>
    <message>
        <source>none</source>
        <translation>ninguno</translation>
    </message>
    <message>
        <source>Note %1 · ch %2</source>
        <extracomment>The MIDI tap, short: note number %1 on MIDI channel %2.</extracomment>
        <translation>Nota %1 · can. %2</translation>
    </message>
    <message>
        <source>note %1 on channel %2</source>
        <translation>nota %1 en el canal %2</translation>
    </message>
    <message>
        <source>CC %1 · ch %2</source>
        <extracomment>The MIDI tap, short: controller (control change) number %1 on MIDI channel %2.</extracomment>
        <translation>CC %1 · can. %2</translation>
    </message>
    <message>
        <source>controller %1 on channel %2</source>
        <translation>controlador %1 en el canal %2</translation>
    </message>
    <message>
        <source>Waiting for MIDI…</source>
        <extracomment>While Learn waits for the pad, key or pedal to be hit.</extracomment>
        <translation>Esperando MIDI…</translation>
    </message>
    <message>
        <source>waiting for a note or a controller</source>
        <translation>esperando una nota o un controlador</translation>
    </message>
    <message>
        <source>MIDI · looking for sources…</source>
        <translation>MIDI · buscando fuentes…</translation>
    </message>
    <message>
        <source>MIDI: looking for sources</source>
        <translation>MIDI: buscando fuentes</translation>
    </message>
    <message>
        <source>MIDI: none found</source>
        <translation>MIDI: no se encontró ninguno</translation>
    </message>
    <message>
        <source>no source connected</source>
        <translation>ninguna fuente conectada</translation>
    </message>
    <message numerus="yes">
        <source>%n source(s) connected</source>
        <translation>
            <numerusform>%n fuente conectada</numerusform>
            <numerusform>%n fuentes conectadas</numerusform>
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
        <translation>MIDI: conectado a %1</translation>
    </message>
    <message>
        <source>%1 gone</source>
        <extracomment>%1 is a MIDI source (&quot;nanoPAD2&quot;) or MIDI system (&quot;JACK&quot;) that went away.</extracomment>
        <translation>%1 desaparecido</translation>
    </message>
    <message>
        <source>MIDI clock · waiting…</source>
        <translation>Reloj MIDI · esperando…</translation>
    </message>
    <message>
        <source>MIDI clock: waiting for a clock</source>
        <translation>Reloj MIDI: esperando un reloj</translation>
    </message>
    <message>
        <source>MIDI clock · counting…</source>
        <translation>Reloj MIDI · contando…</translation>
    </message>
    <message>
        <source>MIDI clock: counting the first beats</source>
        <translation>Reloj MIDI: contando los primeros tiempos</translation>
    </message>
    <message>
        <source>MIDI clock · %1 BPM</source>
        <translation>Reloj MIDI · %1 BPM</translation>
    </message>
    <message>
        <source>MIDI clock: %1 BPM</source>
        <translation>Reloj MIDI: %1 BPM</translation>
    </message>
    <message>
        <source>MIDI clock · stopped</source>
        <translation>Reloj MIDI · detenido</translation>
    </message>
    <message>
        <source>MIDI clock: stopped</source>
        <translation>Reloj MIDI: detenido</translation>
    </message>
    <message>
        <source>%1 (not found)</source>
        <extracomment>%1 is a chosen MIDI source that is not plugged in.</extracomment>
        <translation>%1 (no encontrada)</translation>
    </message>
</context>
<context>
    <name>tempik::ui::MultiplierButtons</name>
    <message>
        <source>Half time</source>
        <translation>Medio tiempo</translation>
    </message>
    <message>
        <source>Normal time</source>
        <translation>Tiempo normal</translation>
    </message>
    <message>
        <source>Double time</source>
        <translation>Doble tiempo</translation>
    </message>
</context>
<context>
    <name>tempik::ui::PulsingTapButton</name>
    <message>
        <source>Tap tempo</source>
        <translation>Marcar el tempo</translation>
    </message>
    <message>
        <source>No tempo</source>
        <translation>Sin tempo</translation>
    </message>
    <message>
        <source>%1 BPM, not sent</source>
        <translation>%1 BPM, no enviado</translation>
    </message>
    <message>
        <source>%1 BPM</source>
        <translation>%1 BPM</translation>
    </message>
    <message>
        <source>%1, half time</source>
        <extracomment>%1 is the tempo as said above (&quot;120 BPM&quot;, &quot;No tempo&quot;).</extracomment>
        <translation>%1, medio tiempo</translation>
    </message>
    <message>
        <source>%1, double time</source>
        <translation>%1, doble tiempo</translation>
    </message>
    <message>
        <source>BPM</source>
        <extracomment>Under the tempo on the button; Eos writes BPM.</extracomment>
        <translation>BPM</translation>
    </message>
    <message>
        <source>not sent</source>
        <extracomment>Under the tempo on the button: the console has not got it. Keep it short.</extracomment>
        <translation>no enviado</translation>
    </message>
</context>
<context>
    <name>tempik::ui::QtSettingsStore</name>
    <message>
        <source>the folder cannot be made</source>
        <translation>no se puede crear la carpeta</translation>
    </message>
    <message>
        <source>the folder is not writable</source>
        <translation>la carpeta no admite escritura</translation>
    </message>
    <message>
        <source>the file is not writable</source>
        <translation>el archivo no admite escritura</translation>
    </message>
</context>
<context>
    <name>tempik::ui::TapWindowDots</name>
    <message>
        <source>%1 of %2 taps</source>
        <translation>%1 de %2 toques</translation>
    </message>
</context>
<context>
    <name>tempik::ui::TempikApp</name>
    <message>
        <source>About tempik</source>
        <translation>Acerca de tempik</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>A&amp;yuda</translation>
    </message>
</context>
</TS>
