<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="it">
<context>
    <name>Velmora</name>
    <message>
        <source>Scelta del file da aggiungere nel tema</source>
        <translation>Choose the sound file for the input</translation>
    </message>
    <message>
        <source>SALVA SUONO</source>
        <translation>SAVE SOUND</translation>
    </message>
    <message>
        <source>ING %1</source>
        <translation>IN %1</translation>
    </message>
    <message>
        <source>lettura della cartella…</source>
        <translation>reading the folder…</translation>
    </message>
    <message>
        <source> (velmora --help elenca le opzioni)</source>
        <translation> (velmora --help lists the options)</translation>
    </message>
    <message>
        <source>opzione sconosciuta: %1%2</source>
        <translation>unknown option: %1%2</translation>
    </message>
    <message>
        <source>argomento non previsto: %1</source>
        <translation>unexpected argument: %1</translation>
    </message>
    <message>
        <source>Programma di gestione della porta parallela</source>
        <translation>Parallel port control program</translation>
    </message>
    <message>
        <source>Ingresso %1</source>
        <translation>Input %1</translation>
    </message>
    <message>
        <source>test</source>
        <translation>test</translation>
    </message>
    <message>
        <source>%1 non leggibile: %2</source>
        <translation>%1 cannot be read: %2</translation>
    </message>
    <message>
        <source>Impossibile leggere la configurazione da %1: %2</source>
        <translation>Cannot read the configuration from %1: %2</translation>
    </message>
    <message>
        <source>Le assegnazioni sono vuote. Correggere il file e riavviare il programma; &quot;Salva configurazione&quot; lo sostituirebbe con quelle mostrate.</source>
        <translation>The assignments are empty. Fix the file and restart the program; &quot;Save configuration&quot; would replace it with the ones shown.</translation>
    </message>
    <message>
        <source>Impossibile salvare la configurazione in %1: %2</source>
        <translation>Cannot save the configuration to %1: %2</translation>
    </message>
    <message>
        <source>Le assegnazioni restano nella finestra: risolvere il problema e scegliere di nuovo &quot;Salva configurazione&quot;.</source>
        <translation>The assignments stay in the window: fix the problem and choose &quot;Save configuration&quot; again.</translation>
    </message>
    <message>
        <source>Nome non assegnato: %1 e non potrebbe essere salvato.</source>
        <translation>Name not assigned: it %1 and could not be saved.</translation>
    </message>
    <message>
        <source>impossibile leggere la configurazione da %1: %2. Le assegnazioni sono vuote: correggere il file e mandare SIGHUP a velmora (o riavviarla).</source>
        <translation>cannot read the configuration from %1: %2. The assignments are empty: fix the file and send velmora SIGHUP (or restart it).</translation>
    </message>
    <message>
        <source>accesso negato</source>
        <translation>access denied</translation>
    </message>
    <message>
        <source>
    primi tasti: </source>
        <translation>
    first keys: </translation>
    </message>
    <message>
        <source> (%1 in tutto)
    velmora --port evdev:</source>
        <translation> (%1 in all)
    velmora --port evdev:</translation>
    </message>
    <message>
        <source>Nessun dispositivo di input con tasti o pulsanti in /dev/input.
</source>
        <translation>No input device with keys or buttons in /dev/input.
</translation>
    </message>
    <message>
        <source>Per leggere i dispositivi ad accesso negato: %1.
</source>
        <translation>To read the devices where access was denied: %1.
</translation>
    </message>
    <message>
        <source>
Porte seriali (ingresso 1 CTS, 2 DSR, 3 DCD, 4 RI):
</source>
        <translation>
Serial ports (input 1 CTS, 2 DSR, 3 DCD, 4 RI):
</translation>
    </message>
    <message>
        <source>
    guardata ogni 10 ms: questa porta avvisa di RI solo quando lo squillo finisce</source>
        <translation>
    looked at every 10 ms: this port tells of RI only when the ring ends</translation>
    </message>
    <message>
        <source>Nessuna porta seriale.
</source>
        <translation>No serial ports.
</translation>
    </message>
    <message>
        <source>Per leggere le porte ad accesso negato: %1.
</source>
        <translation>To read the ports where access was denied: %1.
</translation>
    </message>
    <message>
        <source>Le porte non sono state aperte: aprirne una alza e abbassa DTR e RTS, e alcune schede (Arduino e simili) si riavviano. Per vedere le linee di una porta: velmora --list-inputs --port serial:PORTA
</source>
        <translation>The ports were not opened: opening one raises and drops DTR and RTS, and some boards (Arduino and the like) restart. To see a port&apos;s lines: velmora --list-inputs --port serial:PORT
</translation>
    </message>
    <message>
        <source>Per leggerla: %1.
</source>
        <translation>To read it: %1.
</translation>
    </message>
    <message>
        <source> non disponibile</source>
        <translation> not available</translation>
    </message>
    <message>
        <source>
    linee ora: </source>
        <translation>
    lines now: </translation>
    </message>
    <message>
        <source>
Chip GPIO (un pulsante tra la linea e massa; --port gpio:LINEE):
</source>
        <translation>
GPIO chips (a button between the line and ground; --port gpio:LINES):
</translation>
    </message>
    <message>
        <source>    linee libere: </source>
        <translation>    free lines: </translation>
    </message>
    <message>
        <source>    in uso: </source>
        <translation>    in use: </translation>
    </message>
    <message>
        <source>    velmora --port gpio:GPIO17,GPIO27,GPIO22,GPIO23 (pin 11, 13, 15, 16; massa ai pin 9, 14, 20)
</source>
        <translation>    velmora --port gpio:GPIO17,GPIO27,GPIO22,GPIO23 (pins 11, 13, 15, 16; ground on pins 9, 14, 20)
</translation>
    </message>
    <message>
        <source>Nessun chip GPIO.
</source>
        <translation>No GPIO chips.
</translation>
    </message>
    <message>
        <source>Per leggere i chip ad accesso negato: %1.
</source>
        <translation>To read the chips where access was denied: %1.
</translation>
    </message>
    <message>
        <source>nessuno schermo grafico disponibile%1. Velmora ha una finestra: avviarla dal desktop, oppure indicare lo schermo con DISPLAY (per esempio DISPLAY=:0 velmora), oppure farla funzionare senza finestra con velmora --no-window.</source>
        <translation>no graphical display available%1. Velmora has a window: start it from the desktop, or name the display with DISPLAY (for example DISPLAY=:0 velmora), or run it without a window with velmora --no-window.</translation>
    </message>
    <message>
        <source>Velmora non può partire.</source>
        <translation>Velmora cannot start.</translation>
    </message>
    <message>
        <source>impossibile creare la cartella %1 per CONFIG.TXT e i suoni: controllare i permessi della cartella personale. Le assegnazioni si leggono da %2.</source>
        <translation>cannot create the folder %1 for CONFIG.TXT and the sounds: check the permissions of your home folder. The assignments are read from %2.</translation>
    </message>
    <message>
        <source>attenzione: %1 non leggibile ora: %2</source>
        <translation>warning: %1 cannot be read now: %2</translation>
    </message>
    <message>
        <source> (DISPLAY non impostato)</source>
        <translation> (DISPLAY is not set)</translation>
    </message>
    <message>
        <source>contiene un a capo</source>
        <translation>contains a line break</translation>
    </message>
    <message>
        <source>contiene il testo &quot;%1&quot;</source>
        <translation>contains the text &quot;%1&quot;</translation>
    </message>
    <message>
        <source>è più lungo di %1 caratteri</source>
        <translation>is longer than %1 characters</translation>
    </message>
    <message>
        <source>Configurazione non letta da %1 - %2</source>
        <translation>Configuration not read from %1 - %2</translation>
    </message>
    <message>
        <source>il nome del suono dell&apos;ingresso %1 %2; correggerlo e salvare di nuovo</source>
        <translation>the name of input %1&apos;s sound %2; correct it and save again</translation>
    </message>
    <message>
        <source>%1 di nuovo leggibile.</source>
        <translation>%1 can be read again.</translation>
    </message>
    <message>
        <source>porta non valida: &quot;%1&quot; contiene un carattere di controllo (un a capo, una tabulazione): scrivere la porta su una sola riga</source>
        <translation>invalid port: &quot;%1&quot; contains a control character (a line break, a tab): write the port on a single line</translation>
    </message>
    <message>
        <source>porta non valida: &quot;%1&quot; (valori ammessi: auto, io, /dev/parportN, evdev:DISPOSITIVO, serial:PORTA, gpio:LINEE, file:PERCORSO)</source>
        <translation>invalid port: &quot;%1&quot; (allowed: auto, io, /dev/parportN, evdev:DEVICE, serial:PORT, gpio:LINES, file:PATH)</translation>
    </message>
    <message>
        <source>porta non valida: &quot;%1&quot;: %2</source>
        <translation>invalid port: &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>il dispositivo %1 non c&apos;è: collegarlo (velmora --list-inputs elenca quelli presenti); Velmora lo riprende da solo</source>
        <translation>the device %1 is not there: plug it in (velmora --list-inputs lists those present); Velmora picks it up by itself</translation>
    </message>
    <message>
        <source>accesso negato a %1: %2</source>
        <translation>access to %1 denied: %2</translation>
    </message>
    <message>
        <source>%1 non è un dispositivo di input: indicare un /dev/input/eventN o un collegamento in /dev/input/by-id (velmora --list-inputs)</source>
        <translation>%1 is not an input device: give a /dev/input/eventN or a link in /dev/input/by-id (velmora --list-inputs)</translation>
    </message>
    <message>
        <source>impossibile aprire %1: %2</source>
        <translation>cannot open %1: %2</translation>
    </message>
    <message>
        <source>dopo i due punti mancano i codici (per esempio :KEY_1,KEY_2,KEY_3,KEY_4); senza codici, togliere i due punti</source>
        <translation>the codes are missing after the colon (for example :KEY_1,KEY_2,KEY_3,KEY_4); without codes, leave out the colon</translation>
    </message>
    <message>
        <source>servono quattro codici separati da virgole, uno per ingresso (qui sono %1)</source>
        <translation>four codes separated by commas are needed, one per input (here there are %1)</translation>
    </message>
    <message>
        <source>codice sconosciuto: &quot;%1&quot; (nomi come BTN_TRIGGER o KEY_1, oppure numeri)</source>
        <translation>unknown code: &quot;%1&quot; (names such as BTN_TRIGGER or KEY_1, or numbers)</translation>
    </message>
    <message>
        <source>il codice %1 compare due volte</source>
        <translation>the code %1 is given twice</translation>
    </message>
    <message>
        <source>manca il dispositivo (per esempio evdev:/dev/input/by-id/…-event-joystick)</source>
        <translation>the device is missing (for example evdev:/dev/input/by-id/…-event-joystick)</translation>
    </message>
    <message>
        <source>Dispositivo di input</source>
        <translation>Input device</translation>
    </message>
    <message>
        <source>%1 non ha il tasto %2 (velmora --list-inputs mostra i tasti di ogni dispositivo)</source>
        <translation>%1 has no key %2 (velmora --list-inputs shows each device&apos;s keys)</translation>
    </message>
    <message>
        <source>%1 non ha tasti né pulsanti: indicare un altro dispositivo (velmora --list-inputs)</source>
        <translation>%1 has no keys or buttons: give another device (velmora --list-inputs)</translation>
    </message>
    <message>
        <source>%1 ora è un altro dispositivo (%2, non %3): ricollegare quello scelto all&apos;avvio, oppure riavviare Velmora per usare questo</source>
        <translation>%1 is now another device (%2, not %3): plug the one chosen at start back in, or restart Velmora to use this one</translation>
    </message>
    <message>
        <source>il dispositivo %1 è stato scollegato: ricollegarlo, Velmora lo riprende da solo</source>
        <translation>the device %1 was unplugged: plug it back in, Velmora picks it up by itself</translation>
    </message>
    <message>
        <source>errore leggendo %1: %2</source>
        <translation>error reading %1: %2</translation>
    </message>
    <message>
        <source>il file della porta %1 non contiene un numero da 0 a 255 (decimale o 0x esadecimale)</source>
        <translation>the port file %1 does not hold a number from 0 to 255 (decimal, or hexadecimal with 0x)</translation>
    </message>
    <message>
        <source>: indicare un file di testo con il byte di stato (per esempio echo 0x78 &gt; /tmp/porta)</source>
        <translation>: give a text file holding the status byte (for example echo 0x78 &gt; /tmp/port)</translation>
    </message>
    <message>
        <source>la linea %1 (ingresso %2) è già usata da &quot;%3&quot;: liberarla (un altro programma, o un driver attivato in config.txt) oppure sceglierne un&apos;altra; Velmora riprova da sola</source>
        <translation>line %1 (input %2) is already used by &quot;%3&quot;: free it (another program, or a driver enabled in config.txt) or choose another; Velmora tries again by itself</translation>
    </message>
    <message>
        <source>una delle linee è già usata da un altro programma: liberarla; Velmora riprova da sola</source>
        <translation>one of the lines is already used by another program: free it; Velmora tries again by itself</translation>
    </message>
    <message>
        <source>il chip GPIO %1 non c&apos;è: collegarlo; Velmora lo riprende da sola</source>
        <translation>the GPIO chip %1 is not there: plug it in; Velmora picks it up by itself</translation>
    </message>
    <message>
        <source>impossibile usare le linee di %1: %2</source>
        <translation>cannot use %1&apos;s lines: %2</translation>
    </message>
    <message>
        <source>collegamento sconosciuto: &quot;%1&quot; (up, down oppure none)</source>
        <translation>unknown wiring: &quot;%1&quot; (up, down or none)</translation>
    </message>
    <message>
        <source>troppi due punti: gpio:[CHIP:]LINEE[:up|down|none]</source>
        <translation>too many colons: gpio:[CHIP:]LINES[:up|down|none]</translation>
    </message>
    <message>
        <source>servono quattro linee separate da virgole, una per ingresso (qui sono %1)</source>
        <translation>four lines separated by commas are needed, one per input (here there are %1)</translation>
    </message>
    <message>
        <source>manca la linea dell&apos;ingresso %1</source>
        <translation>the line for input %1 is missing</translation>
    </message>
    <message>
        <source>la linea %1 compare due volte</source>
        <translation>line %1 is given twice</translation>
    </message>
    <message>
        <source>nessun chip GPIO con le linee del connettore del Raspberry Pi (GPIO17…): indicare il chip, per esempio gpio:gpiochip0:17,27,22,23 (velmora --list-inputs elenca i chip)</source>
        <translation>no GPIO chip with the Raspberry Pi header&apos;s lines (GPIO17…): give the chip, for example gpio:gpiochip0:17,27,22,23 (velmora --list-inputs lists the chips)</translation>
    </message>
    <message>
        <source>il chip GPIO &quot;%1&quot; non c&apos;è: collegarlo, oppure indicarne un altro (velmora --list-inputs elenca i chip); Velmora lo riprende da sola</source>
        <translation>the GPIO chip &quot;%1&quot; is not there: plug it in, or give another (velmora --list-inputs lists the chips); Velmora picks it up by itself</translation>
    </message>
    <message>
        <source>la linea %1 non c&apos;è: %2 (%3) ha %4 linee, da 0 a %5</source>
        <translation>there is no line %1: %2 (%3) has %4 lines, 0 to %5</translation>
    </message>
    <message>
        <source>linea sconosciuta: %1 (%2, %3, non ha una linea con questo nome: velmora --list-inputs elenca le linee)</source>
        <translation>unknown line: %1 (%2, %3, has no line of that name: velmora --list-inputs lists the lines)</translation>
    </message>
    <message>
        <source>%1 non è un chip GPIO: indicare un /dev/gpiochipN, il suo nome o la sua etichetta (velmora --list-inputs)</source>
        <translation>%1 is not a GPIO chip: give a /dev/gpiochipN, its name or its label (velmora --list-inputs)</translation>
    </message>
    <message>
        <source>%1 ora è un altro chip GPIO: ricollegare quello scelto all&apos;avvio, oppure riavviare Velmora per usare questo</source>
        <translation>%1 is now another GPIO chip: plug the one chosen at start back in, or restart Velmora to use this one</translation>
    </message>
    <message>
        <source>il chip GPIO %1 è stato scollegato: ricollegarlo, Velmora lo riprende da sola</source>
        <translation>the GPIO chip %1 was unplugged: plug it back in, Velmora picks it up by itself</translation>
    </message>
    <message>
        <source>la porta %1 non esiste (%2): caricare il modulo ppdev (sudo modprobe ppdev) e controllare che la porta parallela sia collegata e abilitata</source>
        <translation>the port %1 does not exist (%2): load the ppdev module (sudo modprobe ppdev) and check that the parallel port is connected and enabled</translation>
    </message>
    <message>
        <source>accesso negato a %1: aggiungere l&apos;utente al gruppo lp (sudo usermod -aG lp $USER), poi uscire e rientrare nella sessione</source>
        <translation>access to %1 denied: add the user to the lp group (sudo usermod -aG lp $USER), then log out and in again</translation>
    </message>
    <message>
        <source>%1 non è una porta parallela: indicare un /dev/parportN (modulo ppdev), evdev:DISPOSITIVO per i pulsanti USB, serial:PORTA per una porta seriale o file:PERCORSO per provare senza porta</source>
        <translation>%1 is not a parallel port: give a /dev/parportN (ppdev module), evdev:DEVICE for USB buttons, serial:PORT for a serial port, or file:PATH to try without a port</translation>
    </message>
    <message>
        <source>la porta %1 è occupata da un altro programma (per esempio una stampa in corso); Velmora riprova da sola</source>
        <translation>the port %1 is busy with another program (a print job, for example); Velmora tries again by itself</translation>
    </message>
    <message>
        <source>impossibile leggere %1: %2</source>
        <translation>cannot read %1: %2</translation>
    </message>
    <message>
        <source>usare /dev/parport0 con il modulo ppdev (sudo modprobe ppdev) e il gruppo lp</source>
        <translation>use /dev/parport0 with the ppdev module (sudo modprobe ppdev) and the lp group</translation>
    </message>
    <message>
        <source>accesso diretto alla porta 0x379 negato (%1): serve root; meglio %2</source>
        <translation>direct access to port 0x379 denied (%1): it needs root; better, %2</translation>
    </message>
    <message>
        <source>il kernel nega l&apos;accesso diretto alla porta 0x379 anche a root (%1; succede con Secure Boot attivo): %2</source>
        <translation>the kernel denies direct access to port 0x379 even to root (%1; this happens with Secure Boot on): %2</translation>
    </message>
    <message>
        <source>l&apos;accesso diretto alla porta 0x379 (--port io) esiste solo sui PC con processore x86, non su questo: usare /dev/parportN, i pulsanti su gpio:, evdev: o serial: (velmora --list-inputs mostra quelli presenti)</source>
        <translation>direct access to port 0x379 (--port io) exists only on PCs with an x86 processor, not on this one: use /dev/parportN, or buttons on gpio:, evdev: or serial: (velmora --list-inputs shows those present)</translation>
    </message>
    <message>
        <source>accesso diretto alla porta 0x379 non disponibile su questo sistema (%1): %2</source>
        <translation>direct access to port 0x379 is not available on this system (%1): %2</translation>
    </message>
    <message>
        <source>nessuna porta parallela trovata all&apos;indirizzo 0x378: caricare i moduli parport_pc e ppdev (sudo modprobe parport_pc ppdev) oppure indicare la porta con --port</source>
        <translation>no parallel port found at address 0x378: load the parport_pc and ppdev modules (sudo modprobe parport_pc ppdev) or give the port with --port</translation>
    </message>
    <message>
        <source>la porta seriale %1 non c&apos;è: collegare l&apos;adattatore (velmora --list-inputs elenca le porte presenti); Velmora la riprende da sola</source>
        <translation>the serial port %1 is not there: plug in the adapter (velmora --list-inputs lists the ports present); Velmora picks it up by itself</translation>
    </message>
    <message>
        <source>la porta %1 è occupata da un altro programma: chiuderlo; Velmora riprova da sola</source>
        <translation>the port %1 is busy with another program: close it; Velmora tries again by itself</translation>
    </message>
    <message>
        <source>%1 non è una porta seriale: indicare un /dev/ttyUSBn, /dev/ttyACMn, /dev/ttySn o un collegamento in /dev/serial/by-id (velmora --list-inputs)</source>
        <translation>%1 is not a serial port: give a /dev/ttyUSBn, /dev/ttyACMn, /dev/ttySn or a link in /dev/serial/by-id (velmora --list-inputs)</translation>
    </message>
    <message>
        <source>la porta seriale %1 è stata scollegata: ricollegarla, Velmora la riprende da sola</source>
        <translation>the serial port %1 was unplugged: plug it back in, Velmora picks it up by itself</translation>
    </message>
    <message>
        <source>aggiungere l&apos;utente al gruppo dialout (sudo usermod -aG dialout $USER), poi uscire e rientrare nella sessione</source>
        <translation>add the user to the dialout group (sudo usermod -aG dialout $USER), then log out and in again</translation>
    </message>
    <message>
        <source>ingresso %1 non disponibile su questo adattatore (non ha la linea %2)</source>
        <translation>input %1 is not available on this adapter (it has no %2 line)</translation>
    </message>
    <message>
        <source>: collegare i contatti agli altri ingressi, oppure usare un adattatore con tutte e quattro le linee (FTDI, PL2303, CH340)</source>
        <translation>: wire the contacts to the other inputs, or use an adapter with all four lines (FTDI, PL2303, CH340)</translation>
    </message>
    <message>
        <source>manca la porta (per esempio serial:/dev/ttyUSB0)</source>
        <translation>the port is missing (for example serial:/dev/ttyUSB0)</translation>
    </message>
    <message>
        <source>Porta seriale</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <source>Porta parallela</source>
        <translation>Parallel port</translation>
    </message>
    <message>
        <source>libreria di PipeWire non caricata (%1)</source>
        <translation>PipeWire library not loaded (%1)</translation>
    </message>
    <message>
        <source>libreria di PipeWire troppo vecchia</source>
        <translation>PipeWire library too old</translation>
    </message>
    <message>
        <source>Server audio PipeWire perso (fermato o riavviato): Velmora si ricollega da sola.</source>
        <translation>PipeWire sound server lost (stopped or restarted): Velmora reconnects by itself.</translation>
    </message>
    <message>
        <source>Server audio PipeWire di nuovo disponibile.</source>
        <translation>PipeWire sound server available again.</translation>
    </message>
    <message>
        <source>libreria SDL2 non caricata (%1): installare il pacchetto libsdl2-2.0-0</source>
        <translation>SDL2 library not loaded (%1): install the libsdl2-2.0-0 package</translation>
    </message>
    <message>
        <source>libreria SDL2 troppo vecchia: aggiornare il pacchetto libsdl2-2.0-0</source>
        <translation>SDL2 library too old: upgrade the libsdl2-2.0-0 package</translation>
    </message>
    <message>
        <source>Audio non disponibile: %1 - Velmora continua senza suono.</source>
        <translation>Sound not available: %1 - Velmora goes on without sound.</translation>
    </message>
    <message>
        <source>Audio di nuovo disponibile.</source>
        <translation>Sound available again.</translation>
    </message>
    <message>
        <source>Dispositivo audio perso (server audio fermato o scheda scollegata): Velmora riprova alla prossima richiesta.</source>
        <translation>Sound device lost (sound server stopped or sound card unplugged): Velmora tries again at the next sound.</translation>
    </message>
    <message>
        <source>non è un WAV leggibile: %1</source>
        <translation>not a readable WAV: %1</translation>
    </message>
    <message>
        <source>formato WAV non valido</source>
        <translation>invalid WAV format</translation>
    </message>
    <message>
        <source>suono troppo lungo (più di %1 secondi)</source>
        <translation>sound too long (more than %1 seconds)</translation>
    </message>
    <message>
        <source>formato WAV non convertibile: %1</source>
        <translation>WAV format cannot be converted: %1</translation>
    </message>
    <message>
        <source>suono troppo lungo</source>
        <translation>sound too long</translation>
    </message>
    <message>
        <source>memoria insufficiente per convertire il suono</source>
        <translation>not enough memory to convert the sound</translation>
    </message>
    <message>
        <source>conversione non riuscita: %1</source>
        <translation>conversion failed: %1</translation>
    </message>
    <message>
        <source>caricamento interrotto</source>
        <translation>loading interrupted</translation>
    </message>
    <message>
        <source>file troppo grande</source>
        <translation>file too large</translation>
    </message>
    <message>
        <source>è una cartella</source>
        <translation>is a folder</translation>
    </message>
    <message>
        <source>non è un file normale</source>
        <translation>is not a regular file</translation>
    </message>
    <message>
        <source>file troppo grande (oltre %1 MiB)</source>
        <translation>file too large (over %1 MiB)</translation>
    </message>
    <message>
        <source>file troppo grande (oltre %1 byte)</source>
        <translation>file too large (over %1 bytes)</translation>
    </message>
    <message>
        <source>
    nome: </source>
        <translation>
    name: </translation>
    </message>
    <message>
        <source> attivo</source>
        <translation> active</translation>
    </message>
    <message>
        <source> a riposo</source>
        <translation> idle</translation>
    </message>
    <message>
        <source>%1 (%2, %3 linee)
</source>
        <translation>%1 (%2, %3 lines)
</translation>
    </message>
    <message>
        <source>%1 da &quot;%2&quot;</source>
        <translation>%1 by &quot;%2&quot;</translation>
    </message>
    <message>
        <source>Nessuna linea è stata richiesta né letta: su un Raspberry Pi anche leggere una linea può cambiare il piedino (un UART, l&apos;I2C, l&apos;alimentazione USB). Per vedere le quattro linee scelte: velmora --list-inputs --port gpio:LINEE
</source>
        <translation>No line was requested or read: on a Raspberry Pi even reading a line can change what its pin does (a UART, I2C, the USB power). To see the four lines you chose: velmora --list-inputs --port gpio:LINES
</translation>
    </message>
    <message>
        <source>
    ingressi ora: </source>
        <translation>
    inputs now: </translation>
    </message>
    <message>
        <source>
    lette solo queste quattro linee, richieste come le usa Velmora
</source>
        <translation>
    only these four lines were read, requested as Velmora uses them
</translation>
    </message>
    <message>
        <source>%1 è la console del sistema (i messaggi del kernel, spesso l&apos;accesso da terminale): Velmora non la usa per non toglierla al sistema. Indicare un&apos;altra porta (velmora --list-inputs)</source>
        <translation>%1 is the system&apos;s console (the kernel&apos;s messages, often a terminal login): Velmora does not use it, so as not to take it from the system. Name another port (velmora --list-inputs)</translation>
    </message>
    <message>
        <source>%1 è usata dal sistema (per esempio dal Bluetooth): Velmora non la usa per non toglierla al sistema. Indicare un&apos;altra porta (velmora --list-inputs)</source>
        <translation>%1 is used by the system (for example by Bluetooth): Velmora does not use it, so as not to take it from the system. Name another port (velmora --list-inputs)</translation>
    </message>
    <message>
        <source>Nessuna uscita audio disponibile (nessun dispositivo audio collegato o acceso): collegare o accendere casse, cuffie o una scheda audio; Velmora suona appena ce n&apos;è una.</source>
        <translation>No audio output available (no sound device connected or switched on): connect or switch on speakers, headphones or a sound card; Velmora plays as soon as there is one.</translation>
    </message>
    <message>
        <source>Il sistema audio non risponde: Velmora termina senza attenderlo.</source>
        <translation>The sound system does not answer: Velmora ends without waiting for it.</translation>
    </message>
    <message>
        <source>File della porta</source>
        <translation>Port file</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1 non c&apos;è: crearlo con il byte di stato, per esempio echo 0x78 &gt; %1</source>
        <translation>%1 is not there: create it with the status byte, for example echo 0x78 &gt; %1</translation>
    </message>
    <message>
        <source>&amp;Menu</source>
        <translation>&amp;Menu</translation>
    </message>
    <message>
        <source>&amp;Salva configurazione</source>
        <translation>&amp;Save configuration</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Exit</translation>
    </message>
    <message>
        <source>Configurazione salvata in %1.</source>
        <translation>Configuration saved in %1.</translation>
    </message>
    <message>
        <source>Nessun suono scelto: sceglierne uno nell&apos;elenco (o scriverne il nome), poi SALVA SUONO. Con il nome vuoto, SALVA SUONO toglie il suono dell&apos;ingresso.</source>
        <translation>No sound chosen: choose one in the list (or type its name), then SAVE SOUND. With the name empty, SAVE SOUND takes the input&apos;s sound away.</translation>
    </message>
    <message>
        <source>Suono non assegnato: %1.</source>
        <translation>Sound not assigned: %1.</translation>
    </message>
    <message>
        <source>Non ancora salvato</source>
        <translation>Not saved yet</translation>
    </message>
    <message>
        <source>ingresso %1 non ancora salvato: Menu → Salva configurazione (Ctrl+S); cambiare linguetta prima lo annulla</source>
        <translation>input %1 not saved yet: Menu → Save configuration (Ctrl+S); changing tab first discards it</translation>
    </message>
    <message>
        <source>ingressi %1 non ancora salvati: Menu → Salva configurazione (Ctrl+S); cambiare linguetta prima li annulla</source>
        <translation>inputs %1 not saved yet: Menu → Save configuration (Ctrl+S); changing tab first discards them</translation>
    </message>
    <message>
        <source>%1 non c&apos;è nella cartella di Velmora (%2): sceglierlo nell&apos;elenco, o copiarlo prima in quella cartella</source>
        <translation>%1 is not in Velmora&apos;s folder (%2): choose it in the list, or copy it into that folder first</translation>
    </message>
    <message>
        <source>%1 è fuori dalla cartella di Velmora (%2), e Velmora suona solo i file che sono lì: copiarlo in quella cartella e sceglierlo di nuovo</source>
        <translation>%1 is outside Velmora&apos;s folder (%2), and Velmora plays only the files that are there: copy it into that folder and choose it again</translation>
    </message>
    <message>
        <source>%1 non leggibile ora: %2</source>
        <translation>%1 cannot be read now: %2</translation>
    </message>
    <message>
        <source>--port %1 accettata: %2 si legge.
</source>
        <translation>--port %1 accepted: %2 can be read.
</translation>
    </message>
    <message>
        <source>Correggere le opzioni con cui viene avviata (la riga Exec della voce di menu ~/.local/share/applications/velmora.desktop, copiata da /usr/share/applications/velmora.desktop) e riavviarla.</source>
        <translation>Correct the options it is started with (the Exec line of the menu entry ~/.local/share/applications/velmora.desktop, copied from /usr/share/applications/velmora.desktop) and start it again.</translation>
    </message>
    <message>
        <source>Correggere le opzioni con cui viene avviata (di nuovo scripts/install --port …, oppure la riga Exec della voce di menu) e riavviarla.</source>
        <translation>Correct the options it is started with (scripts/install --port … again, or the Exec line of the menu entry) and start it again.</translation>
    </message>
    <message>
        <source>Le assegnazioni sono vuote. Spostare o rinominare la cartella CONFIG.TXT, poi riavviare il programma (o salvare: &quot;Salva configurazione&quot; scrive allora un CONFIG.TXT nuovo).</source>
        <translation>The assignments are empty. Move or rename the folder CONFIG.TXT, then start the program again (or save: &quot;Save configuration&quot; then writes a new CONFIG.TXT).</translation>
    </message>
    <message>
        <source>non esiste</source>
        <translation>does not exist</translation>
    </message>
    <message>
        <source>permesso negato</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>occupato da un altro programma</source>
        <translation>in use by another program</translation>
    </message>
    <message>
        <source>il dispositivo non c&apos;è (scollegato, o il suo driver non è caricato)</source>
        <translation>the device is not there (unplugged, or its driver is not loaded)</translation>
    </message>
    <message>
        <source>il disco è pieno</source>
        <translation>the disk is full</translation>
    </message>
    <message>
        <source>lo spazio concesso all&apos;utente sul disco è esaurito</source>
        <translation>the user&apos;s disk quota is used up</translation>
    </message>
    <message>
        <source>il file supera la dimensione che il sistema consente</source>
        <translation>the file is larger than the system allows</translation>
    </message>
    <message>
        <source>il disco è di sola lettura</source>
        <translation>the disk is read-only</translation>
    </message>
    <message>
        <source>è una cartella, non un file</source>
        <translation>it is a folder, not a file</translation>
    </message>
    <message>
        <source>una parte del percorso non è una cartella</source>
        <translation>a part of the path is not a folder</translation>
    </message>
    <message>
        <source>errore del disco o del dispositivo (input/output)</source>
        <translation>disk or device error (input/output)</translation>
    </message>
    <message>
        <source>il nome è troppo lungo</source>
        <translation>the name is too long</translation>
    </message>
    <message>
        <source>troppi collegamenti simbolici nel percorso</source>
        <translation>too many symbolic links in the path</translation>
    </message>
    <message>
        <source>Audio non disponibile: nessun dispositivo audio si è aperto (SDL: %1) - Velmora continua senza suono e riprova alla prossima richiesta.</source>
        <translation>Audio not available: no sound device would open (SDL: %1) - Velmora goes on without sound and tries again at the next request.</translation>
    </message>
    <message>
        <source>suono predefinito</source>
        <translation>default sound</translation>
    </message>
    <message>
        <source>assegnazioni da %1: %2</source>
        <translation>assignments from %1: %2</translation>
    </message>
    <message>
        <source>%1 non c&apos;è: ogni ingresso suona il suono predefinito; scriverlo accanto al programma e mandare SIGHUP a velmora</source>
        <translation>%1 is not there: every input plays the default sound; write it beside the program and send SIGHUP to velmora</translation>
    </message>
    <message>
        <source>aggiungere l&apos;utente al gruppo input (sudo usermod -aG input $USER, poi uscire e rientrare nella sessione) oppure installare la regola udev descritta in docs/usb-buttons.md</source>
        <translation>add the user to the input group (sudo usermod -aG input $USER, then log out and in again) or install the udev rule described in docs/usb-buttons.md</translation>
    </message>
    <message>
        <source>aggiungere l&apos;utente al gruppo gpio (sudo usermod -aG gpio $USER, poi uscire e rientrare nella sessione; su Raspberry Pi OS il gruppo c&apos;è già), altrove una regola udev per il chip, come descritto in docs/gpio.md</source>
        <translation>add the user to the gpio group (sudo usermod -aG gpio $USER, then log out and in again; Raspberry Pi OS already has the group), elsewhere a udev rule for the chip, as docs/gpio.md describes</translation>
    </message>
    <message>
        <source>Ingresso %1 senza suono: suona quello predefinito di Velmora (sceglierne uno, poi SALVA SUONO).</source>
        <translation>Input %1 has no sound: it plays Velmora&apos;s default one (choose one, then SAVE SOUND).</translation>
    </message>
    <message>
        <source>Non c&apos;è l&apos;ingresso %1: gli ingressi sono 1, 2, 3 e 4.</source>
        <translation>There is no input %1: the inputs are 1, 2, 3 and 4.</translation>
    </message>
    <message>
        <source>manca il valore dell&apos;opzione %1</source>
        <translation>the option %1 has no value</translation>
    </message>
    <message>
        <source>--%1 indicata più volte: indicarne una sola</source>
        <translation>--%1 given more than once: give it once</translation>
    </message>
    <message>
        <source>--web-upload-limit vuole un numero di MiB da 1 a 1024</source>
        <translation>--web-upload-limit takes a number of MiB from 1 to 1024</translation>
    </message>
    <message>
        <source>impossibile leggere la chiave di accesso %1: %2</source>
        <translation>cannot read the access key %1: %2</translation>
    </message>
    <message>
        <source>la chiave di accesso %1 è leggibile da altri utenti e può essere stata vista: farne una nuova con velmora --web-key new</source>
        <translation>the access key %1 can be read by other users and may have been seen: make a new one with velmora --web-key new</translation>
    </message>
    <message>
        <source>la chiave di accesso %1 è troppo corta: farne una nuova con velmora --web-key new</source>
        <translation>the access key %1 is too short: make a new one with velmora --web-key new</translation>
    </message>
    <message>
        <source>impossibile scrivere la chiave di accesso %1: %2</source>
        <translation>cannot write the access key %1: %2</translation>
    </message>
    <message>
        <source>nome non accettato &quot;%1&quot;: %2</source>
        <translation>name not accepted &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>è un percorso; indicare solo il nome del file</source>
        <translation>it is a path; give the file&apos;s name only</translation>
    </message>
    <message>
        <source>contiene caratteri di controllo</source>
        <translation>it contains control characters</translation>
    </message>
    <message>
        <source>un nome che comincia con il punto sarebbe nascosto</source>
        <translation>a name that starts with a dot would be hidden</translation>
    </message>
    <message>
        <source>si accettano solo file .wav</source>
        <translation>only .wav files are taken</translation>
    </message>
    <message>
        <source>è più lungo di 255 byte</source>
        <translation>it is longer than 255 bytes</translation>
    </message>
    <message>
        <source>chiave di accesso sbagliata da %1 (%2ª volta): attende %3 ms</source>
        <translation>wrong access key from %1 (time %2): it waits %3 ms</translation>
    </message>
    <message>
        <source>serve la chiave di accesso (velmora --web-key la mostra)</source>
        <translation>the access key is needed (velmora --web-key shows it)</translation>
    </message>
    <message>
        <source>chiave di accesso sbagliata</source>
        <translation>wrong access key</translation>
    </message>
    <message>
        <source>troppe chiavi sbagliate da questo indirizzo: riprovare tra poco</source>
        <translation>too many wrong keys from this address: try again shortly</translation>
    </message>
    <message>
        <source>richiesta da un&apos;altra pagina: rifiutata</source>
        <translation>request from another page: refused</translation>
    </message>
    <message>
        <source>la chiave di accesso non si legge: vedere il registro di Velmora</source>
        <translation>the access key cannot be read: see Velmora&apos;s log</translation>
    </message>
    <message>
        <source>--web &quot;%1&quot; non valido: %2</source>
        <translation>--web &quot;%1&quot; is not valid: %2</translation>
    </message>
    <message>
        <source>la porta deve essere un numero da 1 a 65535 (per esempio --web 8080)</source>
        <translation>the port must be a number from 1 to 65535 (for example --web 8080)</translation>
    </message>
    <message>
        <source>&quot;%1&quot; non è un indirizzo IP di questa macchina (per esempio 0.0.0.0 per tutta la rete, o un indirizzo come 192.168.1.20)</source>
        <translation>&quot;%1&quot; is not an IP address of this machine (for example 0.0.0.0 for the whole network, or an address such as 192.168.1.20)</translation>
    </message>
    <message>
        <source>la pagina web non può ascoltare su %1, porta %2: %3</source>
        <translation>the web page cannot listen on %1, port %2: %3</translation>
    </message>
    <message>
        <source>%1 c&apos;è già: sceglierne un altro nome, o chiedere di sostituirlo</source>
        <translation>%1 is already there: choose another name, or ask to replace it</translation>
    </message>
    <message>
        <source>impossibile scrivere %1: %2</source>
        <translation>cannot write %1: %2</translation>
    </message>
    <message>
        <source>: Velmora funziona senza pagina web; liberare la porta o sceglierne un&apos;altra con --web</source>
        <translation>: Velmora runs without the web page; free the port or choose another with --web</translation>
    </message>
    <message>
        <source>pagina web su %1, solo da questa macchina; la chiave per cambiare le impostazioni: velmora --web-key</source>
        <translation>web page at %1, from this machine only; the key to change settings: velmora --web-key</translation>
    </message>
    <message>
        <source>pagina web su %1, aperta alla rete con la chiave di accesso: velmora --web-key</source>
        <translation>web page at %1, open to the network with the access key: velmora --web-key</translation>
    </message>
    <message>
        <source>%1
La chiave di accesso della pagina web (velmora --web PORTA), in %2. Il browser la chiede una volta; per le API: &quot;Authorization: Bearer CHIAVE&quot;. Una nuova: velmora --web-key new.
</source>
        <translation>%1
The web page&apos;s access key (velmora --web PORT), in %2. The browser asks for it once; for the API: &quot;Authorization: Bearer KEY&quot;. A new one: velmora --web-key new.
</translation>
    </message>
    <message>
        <source>la pagina web non è disponibile: il modulo velmora-web.so manca o non si carica (%1); reinstallare Velmora</source>
        <translation>the web page is not available: the module velmora-web.so is missing or does not load (%1); reinstall Velmora</translation>
    </message>
    <message>
        <source>--web-cert e --web-cert-key vanno indicate insieme</source>
        <translation>--web-cert and --web-cert-key go together</translation>
    </message>
    <message>
        <source>la richiesta non è arrivata intera in %1 s</source>
        <translation>the request did not arrive whole within %1 s</translation>
    </message>
    <message>
        <source>le intestazioni della richiesta superano %1 KiB</source>
        <translation>the request&apos;s headers are larger than %1 KiB</translation>
    </message>
    <message>
        <source>la richiesta supera il limite di %1 MiB (--web-upload-limit)</source>
        <translation>the request is larger than the limit of %1 MiB (--web-upload-limit)</translation>
    </message>
    <message>
        <source>pagina web: rifiutata una richiesta da %1: %2</source>
        <translation>web page: a request from %1 refused: %2</translation>
    </message>
    <message>
        <source>pagina web: troppe connessioni (%1 in tutto, %2 da %3): le altre sono chiuse</source>
        <translation>web page: too many connections (%1 in all, %2 from %3): the others are closed</translation>
    </message>
    <message>
        <source>HTTPS non disponibile: manca la libreria TLS (%1); installare libssl3 o togliere --web-cert</source>
        <translation>HTTPS not available: the TLS library is missing (%1); install libssl3 or leave out --web-cert</translation>
    </message>
    <message>
        <source>%1 non è un certificato PEM (-----BEGIN CERTIFICATE-----)</source>
        <translation>%1 is not a PEM certificate (-----BEGIN CERTIFICATE-----)</translation>
    </message>
    <message>
        <source>%1 non è una chiave privata PEM RSA o EC senza passphrase</source>
        <translation>%1 is not a PEM RSA or EC private key without a passphrase</translation>
    </message>
    <message>
        <source>Uso: velmora [opzioni]
Velmora: quattro ingressi (porta parallela, pulsanti USB, porta seriale o
GPIO), una spia e un suono per ciascuno.

Opzioni:
  -h, --help     Mostra questo aiuto ed esce.
  -v, --version  Mostra la versione ed esce.
  --port SPEC    Da dove leggere i quattro ingressi: auto (predefinito),
                 /dev/parportN, io (accesso diretto a 0x379, solo root),
                 file:PERCORSO (il byte di stato scritto in un file, per
                 provare senza porta) oppure
                 evdev:DISPOSITIVO[:CODICE1,CODICE2,CODICE3,CODICE4] (pulsanti
                 USB: tastierino, pedaliera, interfaccia per pulsanti arcade)
                 oppure serial:PORTA (contatti sulle linee CTS, DSR, DCD e RI
                 di una porta seriale o di un adattatore USB-seriale, per
                 esempio serial:/dev/ttyUSB0) oppure
                 gpio:[CHIP:]LINEE[:up|down|none] (pulsanti sulle linee GPIO di
                 un Raspberry Pi: gpio: da solo usa GPIO17, GPIO27, GPIO22 e
                 GPIO23, pin 11, 13, 15 e 16, un pulsante tra il pin e massa).
  --list-inputs  Elenca i dispositivi di input con tasti o pulsanti (USB e
                 altri) e le porte seriali, senza aprirle, e i chip GPIO, senza
                 richiederne le linee, ed esce. Con --port serial:PORTA mostra
                 invece le linee di quella porta (aprirla alza e abbassa DTR);
                 con --port gpio:LINEE gli ingressi di quelle quattro linee, le
                 sole richieste.
  --check        Controlla le opzioni senza aprire la finestra ed esce: stato 2
                 se Velmora le rifiuterebbe; un avviso se la porta ora non si
                 legge (USB scollegato).
  --no-window    Funziona senza finestra e senza schermo (esposizioni, negozi,
                 servizi): stessi ingressi e suoni, assegnazioni lette da
                 CONFIG.TXT accanto al programma; i messaggi vanno su stderr.
                 SIGHUP rilegge CONFIG.TXT, SIGTERM e SIGINT la chiudono.
  --web [INDIRIZZO:]PORTA
                 Anche una pagina web per vedere e impostare Velmora da un
                 browser: PORTA da sola solo da questa macchina (127.0.0.1);
                 un INDIRIZZO (0.0.0.0 per tutta la rete) la apre alla rete,
                 sempre con la chiave di accesso.
  --web-key [new]
                 Mostra la chiave di accesso della pagina web ed esce; con new
                 ne fa una nuova, che chiude le sessioni aperte con la vecchia.
  --web-upload-limit MIB
                 La dimensione massima di un WAV caricato dalla pagina web
                 (predefinita 64).
  --web-cert FILE --web-cert-key FILE
                 La pagina web in HTTPS, con questo certificato e la sua
                 chiave privata (file PEM); senza, in HTTP semplice.
  --mqtt URL     Anche sul bus di messaggi della sala, tramite un server MQTT:
                 mqtt://HOST[:PORTA] oppure mqtts://HOST[:PORTA] (TLS). Pubblica
                 le spie, le pressioni e i suoni sotto velmora/NOME/ e accetta
                 i comandi play, stop e reload (docs/mqtt.md).
  --mqtt-name NOME
                 Nome di questa scatola (predefinito: il nome della macchina).
  --mqtt-prefix ARGOMENTO
                 L&apos;inizio degli argomenti (predefinito: velmora/NOME).
  --mqtt-password-file FILE
                 Nome e password per il server, una riga UTENTE:PASSWORD in un
                 file leggibile solo dall&apos;utente (chmod 600).
  --mqtt-ca FILE Il certificato dell&apos;autorità che ha firmato quello del server
                 (mqtts); predefinite quelle del sistema.
  --mqtt-homeassistant
                 Si annuncia a Home Assistant (MQTT discovery): un dispositivo
                 con spie, pressioni e un pulsante di prova per ingresso.

CONFIG.TXT e i suoni stanno nella cartella del programma; se l&apos;utente non vi
può scrivere (il programma installato dal pacchetto, in /usr/bin), nella sua
cartella ~/Velmora, creata al primo avvio.
</source>
        <translation>Usage: velmora [options]
Velmora: four inputs (parallel port, USB buttons, serial port or GPIO), a lamp
and a sound for each.

Options:
  -h, --help     Show this help and exit.
  -v, --version  Show the version and exit.
  --port SPEC    Where to read the four inputs from: auto (the default),
                 /dev/parportN, io (direct access to 0x379, root only),
                 file:PATH (the status byte written in a file, to try Velmora
                 without a port), or evdev:DEVICE[:CODE1,CODE2,CODE3,CODE4]
                 (USB buttons: a keypad, a foot switch, an arcade button
                 encoder), or serial:PORT (contacts on the CTS, DSR, DCD and RI
                 lines of a serial port or a USB-serial adapter, for example
                 serial:/dev/ttyUSB0), or gpio:[CHIP:]LINES[:up|down|none]
                 (buttons on a Raspberry Pi&apos;s GPIO lines: gpio: alone uses
                 GPIO17, GPIO27, GPIO22 and GPIO23, pins 11, 13, 15 and 16,
                 each button between its pin and ground).
  --list-inputs  List the input devices with keys or buttons (USB and others),
                 the serial ports, without opening them, and the GPIO chips,
                 without requesting their lines, then exit. With --port
                 serial:PORT, show that port&apos;s lines instead (opening it raises
                 and drops DTR); with --port gpio:LINES, the inputs of those
                 four lines, the only ones requested.
  --check        Check the options without opening the window, then exit:
                 status 2 if Velmora would refuse them; a warning if the port
                 cannot be read right now (USB unplugged).
  --no-window    Run without a window or a screen (exhibits, shops, services):
                 the same inputs and sounds, with the assignments read from
                 CONFIG.TXT beside the program; messages go to stderr. SIGHUP
                 reads CONFIG.TXT again, SIGTERM and SIGINT end it.
  --web [ADDRESS:]PORT
                 Also a web page to see and set up Velmora from a browser: a
                 PORT alone from this machine only (127.0.0.1); an ADDRESS
                 (0.0.0.0 for the whole network) opens it to the network,
                 always with the access key.
  --web-key [new]
                 Shows the web page&apos;s access key and exits; with new makes a
                 new one, which ends the sessions opened with the old one.
  --web-upload-limit MIB
                 The largest WAV the web page takes as an upload (default 64).
  --web-cert FILE --web-cert-key FILE
                 The web page over HTTPS, with this certificate and its private
                 key (PEM files); without them, in plain HTTP.
  --mqtt URL     Also on the room&apos;s message bus, through an MQTT broker:
                 mqtt://HOST[:PORT] or mqtts://HOST[:PORT] (TLS). Publishes the
                 lamps, the presses and the sounds under velmora/NAME/ and takes
                 the commands play, stop and reload (docs/mqtt.md).
  --mqtt-name NAME
                 This box&apos;s name (default: the machine&apos;s name).
  --mqtt-prefix TOPIC
                 The topics&apos; start (default: velmora/NAME).
  --mqtt-password-file FILE
                 Name and password for the broker, one line USER:PASSWORD in a
                 file only the user can read (chmod 600).
  --mqtt-ca FILE The certificate of the authority that signed the broker&apos;s
                 (mqtts); the system&apos;s by default.
  --mqtt-homeassistant
                 Announces itself to Home Assistant (MQTT discovery): a device
                 with lamps, presses and a test button per input.

CONFIG.TXT and the sounds live in the program&apos;s folder; where the user cannot
write there (the program installed from the package, in /usr/bin), in their own
~/Velmora folder, created on the first start.
</translation>
    </message>
    <message>
        <source>--%1 vale solo con --mqtt URL</source>
        <translation>--%1 goes only with --mqtt URL</translation>
    </message>
    <message>
        <source>MQTT non è disponibile: il modulo velmora-mqtt.so manca o non si carica (%1); installare libmosquitto1 (sudo apt install libmosquitto1) o reinstallare Velmora</source>
        <translation>MQTT is not available: the module velmora-mqtt.so is missing or does not load (%1); install libmosquitto1 (sudo apt install libmosquitto1) or reinstall Velmora</translation>
    </message>
    <message>
        <source>%1 pressioni più vecchie non inviate: il server MQTT è mancato troppo a lungo (se ne tengono %2)</source>
        <translation>%1 older presses not sent: the MQTT broker was away too long (%2 are kept)</translation>
    </message>
    <message>
        <source>il server MQTT %1:%2 rifiuta l&apos;accesso (%3): correggere --mqtt-password-file e riavviare Velmora</source>
        <translation>the MQTT broker %1:%2 refuses access (%3): correct --mqtt-password-file and restart Velmora</translation>
    </message>
    <message>
        <source>comando conservato (retain) sul server: ignorato; inviarlo senza retain</source>
        <translation>command kept (retained) on the broker: ignored; send it without retain</translation>
    </message>
    <message>
        <source>troppi comandi: al più %1 al secondo</source>
        <translation>too many commands: at most %1 a second</translation>
    </message>
    <message>
        <source>%1:%2, %3</source>
        <translation>%1:%2, %3</translation>
    </message>
    <message>
        <source>%1:%2 non risponde</source>
        <translation>%1:%2 does not answer</translation>
    </message>
    <message>
        <source>server MQTT di nuovo raggiungibile: %1:%2</source>
        <translation>MQTT broker reachable again: %1:%2</translation>
    </message>
    <message>
        <source>server MQTT non raggiungibile: %1. Velmora riprova da sola</source>
        <translation>MQTT broker cannot be reached: %1. Velmora tries again by itself</translation>
    </message>
    <message>
        <source>l&apos;ingresso va indicato con un numero da 1 a 4</source>
        <translation>the input is given as a number from 1 to 4</translation>
    </message>
    <message>
        <source>comando troppo lungo (più di %1 byte)</source>
        <translation>command too long (more than %1 bytes)</translation>
    </message>
    <message>
        <source>play vuole un numero da 1 a 4, {&quot;input&quot;:N} oppure {&quot;file&quot;:&quot;NOME.wav&quot;}</source>
        <translation>play takes a number from 1 to 4, {&quot;input&quot;:N} or {&quot;file&quot;:&quot;NAME.wav&quot;}</translation>
    </message>
    <message>
        <source>play vuole &quot;input&quot; oppure &quot;file&quot;, uno dei due</source>
        <translation>play takes &quot;input&quot; or &quot;file&quot;, one of the two</translation>
    </message>
    <message>
        <source>&quot;file&quot; vuole il nome di un file della cartella dei suoni</source>
        <translation>&quot;file&quot; takes the name of a file in the sounds folder</translation>
    </message>
    <message>
        <source>il file della password MQTT %1 non c&apos;è o non è un file</source>
        <translation>the MQTT password file %1 is not there or is not a file</translation>
    </message>
    <message>
        <source>il file della password MQTT %1 si legge anche da altri utenti: renderlo solo proprio con chmod 600 %1</source>
        <translation>the MQTT password file %1 can be read by other users too: make it yours alone with chmod 600 %1</translation>
    </message>
    <message>
        <source>il file della password MQTT %1 non si legge: %2</source>
        <translation>the MQTT password file %1 cannot be read: %2</translation>
    </message>
    <message>
        <source>il file della password MQTT %1 deve contenere una riga UTENTE:PASSWORD</source>
        <translation>the MQTT password file %1 must hold one line USER:PASSWORD</translation>
    </message>
    <message>
        <source>--mqtt vuole l&apos;indirizzo del server come mqtt://HOST[:PORTA] oppure mqtts://HOST[:PORTA], non &quot;%1&quot;</source>
        <translation>--mqtt takes the broker&apos;s address as mqtt://HOST[:PORT] or mqtts://HOST[:PORT], not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>nome e password non vanno nell&apos;indirizzo di --mqtt: scriverli in un file (UTENTE:PASSWORD, chmod 600) e indicarlo con --mqtt-password-file</source>
        <translation>a name and password do not go in the --mqtt address: write them in a file (USER:PASSWORD, chmod 600) and give it with --mqtt-password-file</translation>
    </message>
    <message>
        <source>il certificato dell&apos;autorità %1 (--mqtt-ca) non c&apos;è</source>
        <translation>the authority&apos;s certificate %1 (--mqtt-ca) is not there</translation>
    </message>
    <message>
        <source>il nome della scatola &quot;%1&quot; non va in un argomento MQTT: indicarne uno con --mqtt-name, senza / + # e senza $ iniziale</source>
        <translation>the box name &quot;%1&quot; does not fit in an MQTT topic: give one with --mqtt-name, without / + # and without a leading $</translation>
    </message>
    <message>
        <source>--mqtt-prefix &quot;%1&quot; non va come inizio degli argomenti MQTT: livelli non vuoti separati da /, senza + # e senza $ iniziale</source>
        <translation>--mqtt-prefix &quot;%1&quot; does not fit as the start of MQTT topics: non-empty levels separated by /, without + # and without a leading $</translation>
    </message>
    <message>
        <source>il nome &quot;%1&quot; non è quello di un file della cartella dei suoni (niente percorsi assoluti, &apos;..&apos;, nomi nascosti o caratteri di controllo)</source>
        <translation>the name &quot;%1&quot; is not that of a file in the sounds folder (no absolute paths, &apos;..&apos;, hidden names or control characters)</translation>
    </message>
    <message>
        <source>%1 non c&apos;è nella cartella dei suoni %2</source>
        <translation>%1 is not in the sounds folder %2</translation>
    </message>
    <message>
        <source>il nome del server non si trova: controllare l&apos;indirizzo di --mqtt e la rete</source>
        <translation>the server&apos;s name is not found: check the --mqtt address and the network</translation>
    </message>
    <message>
        <source>la connessione TLS non riesce</source>
        <translation>the TLS connection fails</translation>
    </message>
    <message>
        <source>il server non risponde più</source>
        <translation>the server no longer answers</translation>
    </message>
    <message>
        <source>connessione rifiutata: nessun server in ascolto su quella porta</source>
        <translation>connection refused: no server listening on that port</translation>
    </message>
    <message>
        <source>la macchina o la sua rete non si raggiunge</source>
        <translation>the machine or its network cannot be reached</translation>
    </message>
    <message>
        <source>nessuna risposta in tempo</source>
        <translation>no answer in time</translation>
    </message>
    <message>
        <source>connessione interrotta dall&apos;altra parte</source>
        <translation>connection broken off by the other side</translation>
    </message>
    <message>
        <source>&amp;Modalità degli ingressi…</source>
        <translation>&amp;Input modes…</translation>
    </message>
    <message>
        <source>Le modalità restano quelle di prima.</source>
        <translation>The modes stay as they were.</translation>
    </message>
    <message>
        <source>&amp;Azzera quiz</source>
        <translation>&amp;Reset quiz</translation>
    </message>
    <message>
        <source>Modalità degli ingressi</source>
        <translation>Input modes</translation>
    </message>
    <message>
        <source>Suona</source>
        <translation>Plays</translation>
    </message>
    <message>
        <source>Con gli altri</source>
        <translation>With the others</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>Dissolvenza</source>
        <translation>Fade-out</translation>
    </message>
    <message>
        <source>File (più d&apos;uno: a, b, cartella/)</source>
        <translation>Files (several: a, b, folder/)</translation>
    </message>
    <message>
        <source>Ordine</source>
        <translation>Order</translation>
    </message>
    <message>
        <source>ripete mentre è premuto</source>
        <translation>repeats while held</translation>
    </message>
    <message>
        <source>una volta per pressione</source>
        <translation>once per press</translation>
    </message>
    <message>
        <source>in giro mentre è premuto</source>
        <translation>loops while held</translation>
    </message>
    <message>
        <source>acceso e spento a ogni pressione</source>
        <translation>on and off at each press</translation>
    </message>
    <message>
        <source>sostituisce</source>
        <translation>replaces</translation>
    </message>
    <message>
        <source>si mescola</source>
        <translation>mixes</translation>
    </message>
    <message>
        <source>a turno</source>
        <translation>in turn</translation>
    </message>
    <message>
        <source>a caso</source>
        <translation>at random</translation>
    </message>
    <message>
        <source>Ingresso &amp;%1</source>
        <translation>Input &amp;%1</translation>
    </message>
    <message>
        <source>&amp;Quiz: il primo che preme blocca gli altri</source>
        <translation>&amp;Quiz: the first to press locks the others</translation>
    </message>
    <message>
        <source>solo a mano</source>
        <translation>by hand only</translation>
    </message>
    <message>
        <source>Azzera da solo dopo</source>
        <translation>Resets by itself after</translation>
    </message>
    <message>
        <source>un numero da 0 a 100</source>
        <translation>a number from 0 to 100</translation>
    </message>
    <message>
        <source>millisecondi, da 0 a 60000</source>
        <translation>milliseconds, from 0 to 60000</translation>
    </message>
    <message>
        <source>play, with, volume, fade, files oppure order</source>
        <translation>play, with, volume, fade, files or order</translation>
    </message>
    <message>
        <source>%1 riga %2: %3</source>
        <translation>%1 line %2: %3</translation>
    </message>
    <message>
        <source>sezione sconosciuta %1 (sono [input 1] … [input 4] e [quiz]): ignorata</source>
        <translation>unknown section %1 (they are [input 1] … [input 4] and [quiz]): ignored</translation>
    </message>
    <message>
        <source>&quot;%1&quot; non è una riga CHIAVE = VALORE: ignorata</source>
        <translation>&quot;%1&quot; is not a KEY = VALUE line: ignored</translation>
    </message>
    <message>
        <source>versione %1 di una Velmora più nuova: si legge quello che questa conosce</source>
        <translation>version %1 of a newer Velmora: what this one knows is read</translation>
    </message>
    <message>
        <source>%1 = %2 non va (%3): l&apos;ingresso %4 suona come sempre</source>
        <translation>%1 = %2 is not valid (%3): input %4 plays as always</translation>
    </message>
    <message>
        <source>on = %1 non va (yes oppure no): il quiz resta spento</source>
        <translation>on = %1 is not valid (yes or no): the quiz stays off</translation>
    </message>
    <message>
        <source>reset-after = %1 non va (secondi, da 0 a 3600): si azzera solo a mano</source>
        <translation>reset-after = %1 is not valid (seconds, from 0 to 3600): it is reset by hand only</translation>
    </message>
    <message>
        <source>chiave sconosciuta &quot;%1&quot;: ignorata</source>
        <translation>unknown key &quot;%1&quot;: ignored</translation>
    </message>
    <message>
        <source>%1 non ha la riga version = 1</source>
        <translation>%1 has no line version = 1</translation>
    </message>
    <message>
        <source>%1 non si legge: %2; ogni ingresso suona come sempre</source>
        <translation>%1 cannot be read: %2; every input plays as always</translation>
    </message>
    <message>
        <source>ingresso %1: play = %2, with = %3, volume = %4 %, fade = %5 ms, %6
</source>
        <translation>input %1: play = %2, with = %3, volume = %4 %, fade = %5 ms, %6
</translation>
    </message>
    <message>
        <source>il suono di CONFIG.TXT</source>
        <translation>CONFIG.TXT&apos;s sound</translation>
    </message>
    <message>
        <source>files = %1 (order = %2)</source>
        <translation>files = %1 (order = %2)</translation>
    </message>
    <message>
        <source>quiz: acceso, il primo che preme blocca gli altri; azzerato %1
</source>
        <translation>quiz: on, the first to press locks the others; reset %1
</translation>
    </message>
    <message>
        <source>dopo %1 s o a mano</source>
        <translation>after %1 s or by hand</translation>
    </message>
    <message>
        <source>a mano</source>
        <translation>by hand</translation>
    </message>
    <message>
        <source>quiz: spento
</source>
        <translation>quiz: off
</translation>
    </message>
    <message>
        <source>attenzione: %1
</source>
        <translation>warning: %1
</translation>
    </message>
    <message>
        <source>comando sconosciuto: i comandi sono play, stop, reload e reset</source>
        <translation>unknown command: the commands are play, stop, reload and reset</translation>
    </message>
    <message>
        <source>ingresso %1 ha premuto per primo — bloccati gli altri; azzerare con Ingressi → Azzera quiz (F5), SIGUSR1 o il comando reset</source>
        <translation>input %1 pressed first — the others locked; reset with Inputs → Reset quiz (F5), SIGUSR1 or the reset command</translation>
    </message>
    <message>
        <source>quiz azzerato: tutti gli ingressi di nuovo liberi</source>
        <translation>quiz reset: every input free again</translation>
    </message>
    <message>
        <source>&amp;Ingressi</source>
        <translation>&amp;Inputs</translation>
    </message>
    <message>
        <source>Annulla</source>
        <translation>Cancel</translation>
    </message>
</context>
</TS>
