<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it" sourcelanguage="en">
<context>
    <name>MainWindow</name>
    <message>
        <source> Open media...</source>
        <translation> Apri media…</translation>
    </message>
    <message>
        <source> Pause</source>
        <translation> Pausa</translation>
    </message>
    <message>
        <source> Play</source>
        <translation> Riproduci</translation>
    </message>
    <message>
        <source> Register</source>
        <translation> Attiva</translation>
    </message>
    <message>
        <source> Stop</source>
        <translation> Ferma</translation>
    </message>
    <message>
        <source> Unregister</source>
        <translation> Disattiva</translation>
    </message>
    <message>
        <source>%1  |  %2 fps  |  %3x%4</source>
        <translation>%1  |  %2 fps  |  %3x%4</translation>
    </message>
    <message>
        <source>&amp;About Orvenna</source>
        <translation>&amp;Informazioni su Orvenna</translation>
    </message>
    <message>
        <source>&amp;Close media</source>
        <translation>&amp;Chiudi media</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aiuto</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Lingua</translation>
    </message>
    <message>
        <source>&amp;Open media...</source>
        <translation>&amp;Apri media…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Esci</translation>
    </message>
    <message>
        <source>&amp;Settings</source>
        <translation>&amp;Impostazioni</translation>
    </message>
    <message>
        <source>About Orvenna</source>
        <translation>Informazioni su Orvenna</translation>
    </message>
    <message>
        <source>All supported files (%1);;Videos (%2);;Images (%3);;All files (*.*)</source>
        <translation>Tutti i file supportati (%1);;Video (%2);;Immagini (%3);;Tutti i file (*.*)</translation>
    </message>
    <message>
        <source>Auto (system)</source>
        <translation>Automatica (sistema)</translation>
    </message>
    <message>
        <source>Built with Qt %1 · softcam (MIT license)</source>
        <translation>Realizzato con Qt %1 · softcam (licenza MIT)</translation>
    </message>
    <message>
        <source>Camera registered!</source>
        <translation>Videocamera attivata!</translation>
    </message>
    <message>
        <source>Camera unregistered.</source>
        <translation>Videocamera disattivata.</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Connesso</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Scarica</translation>
    </message>
    <message>
        <source>Failed to create virtual camera.</source>
        <translation>Impossibile creare la videocamera virtuale.</translation>
    </message>
    <message>
        <source>Failed to load image.</source>
        <translation>Impossibile caricare l'immagine.</translation>
    </message>
    <message>
        <source>Failed to open video.</source>
        <translation>Impossibile aprire il video.</translation>
    </message>
    <message>
        <source>Failed.</source>
        <translation>Operazione non riuscita.</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Immagine</translation>
    </message>
    <message>
        <source>Image loaded. Press Play to stream.</source>
        <translation>Immagine caricata. Premi «Riproduci» per trasmettere.</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Caricamento…</translation>
    </message>
    <message>
        <source>Loop</source>
        <translation>Ripeti</translation>
    </message>
    <message>
        <source>Minimize to tray on close</source>
        <translation>Riduci nell'area di notifica alla chiusura</translation>
    </message>
    <message>
        <source>Mirror</source>
        <translation>Specchia</translation>
    </message>
    <message>
        <source>No file selected</source>
        <translation>Nessun file selezionato</translation>
    </message>
    <message>
        <source>Not registered</source>
        <translation>Non attivata</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Apri file</translation>
    </message>
    <message>
        <source>Open a file first.</source>
        <translation>Apri prima un file.</translation>
    </message>
    <message>
        <source>Open media...</source>
        <translation>Apri media…</translation>
    </message>
    <message>
        <source>Orvenna %1 is available.</source>
        <translation>Orvenna %1 è disponibile.</translation>
    </message>
    <message>
        <source>Orvenna - Connected</source>
        <translation>Orvenna - Connesso</translation>
    </message>
    <message>
        <source>Orvenna - Streaming</source>
        <translation>Orvenna - Trasmissione in corso</translation>
    </message>
    <message>
        <source>Orvenna is free for personal use. For commercial use or redistribution, please ask for a license at %1.</source>
        <translation>Orvenna è gratuito per uso personale. Per l'uso commerciale o la ridistribuzione, richiedi una licenza su %1.</translation>
    </message>
    <message>
        <source>Orvenna v%1</source>
        <translation>Orvenna v%1</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pausa</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>In pausa</translation>
    </message>
    <message>
        <source>Paused.</source>
        <translation>In pausa.</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Riproduci</translation>
    </message>
    <message>
        <source>Playback finished.</source>
        <translation>Riproduzione terminata.</translation>
    </message>
    <message>
        <source>Playing</source>
        <translation>In riproduzione</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Esci</translation>
    </message>
    <message>
        <source>Ready.</source>
        <translation>Pronto.</translation>
    </message>
    <message>
        <source>Register the camera first.</source>
        <translation>Attiva prima la videocamera.</translation>
    </message>
    <message>
        <source>Registered</source>
        <translation>Attivata</translation>
    </message>
    <message>
        <source>Registering...</source>
        <translation>Attivazione…</translation>
    </message>
    <message>
        <source>Registration failed.</source>
        <translation>Attivazione non riuscita.</translation>
    </message>
    <message>
        <source>Resolution:</source>
        <translation>Risoluzione:</translation>
    </message>
    <message>
        <source>Resuming...</source>
        <translation>Ripresa in corso…</translation>
    </message>
    <message>
        <source>Send anonymous usage statistics</source>
        <translation>Invia statistiche di utilizzo anonime</translation>
    </message>
    <message>
        <source>Send sound as a microphone</source>
        <translation>Invia l'audio come microfono</translation>
    </message>
    <message>
        <source>Show Orvenna</source>
        <translation>Mostra Orvenna</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Sorgente</translation>
    </message>
    <message>
        <source>Status:</source>
        <translation>Stato:</translation>
    </message>
    <message>
        <source>Stopped.</source>
        <translation>Interrotto.</translation>
    </message>
    <message>
        <source>Stream any video or image as a webcam in Zoom, Teams, Skype, Telegram and any app that uses a camera.</source>
        <translation>Trasmetti qualsiasi video o immagine come webcam in Zoom, Teams, Skype, Telegram e in qualsiasi app che usa una videocamera.</translation>
    </message>
    <message>
        <source>Streaming...</source>
        <translation>Trasmissione in corso…</translation>
    </message>
    <message>
        <source>Stretch</source>
        <translation>Allunga</translation>
    </message>
    <message>
        <source>Unregistering...</source>
        <translation>Disattivazione…</translation>
    </message>
    <message>
        <source>Video loaded. Press Play to stream.</source>
        <translation>Video caricato. Premi «Riproduci» per trasmettere.</translation>
    </message>
    <message>
        <source>Virtual Camera</source>
        <translation>Videocamera virtuale</translation>
    </message>
    <message>
        <source>Virtual camera for Linux</source>
        <translation>Videocamera virtuale per Linux</translation>
    </message>
    <message>
        <source>Virtual camera for Windows</source>
        <translation>Videocamera virtuale per Windows</translation>
    </message>
    <message>
        <source>Waiting for app...</source>
        <translation>In attesa di un'app…</translation>
    </message>
    <message>
        <source>libsoftcam.so not found. Place it next to orvenna</source>
        <translation>libsoftcam.so non trovato. Posizionalo accanto a orvenna</translation>
    </message>
    <message>
        <source>softcam.dll not found. Place it next to Orvenna.exe</source>
        <translation>softcam.dll non trovato. Posizionalo accanto a Orvenna.exe</translation>
    </message>
    <message>
        <source>PipeWire</source>
        <translation>PipeWire</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1: %2</source>
        <translation>Impossibile salvare le impostazioni in %1: %2</translation>
    </message>
    <message>
        <source>the file cannot be written</source>
        <translation>il file non può essere scritto</translation>
    </message>
    <message>
        <source>Settings not saved</source>
        <translation>Impostazioni non salvate</translation>
    </message>
    <message>
        <source>Programs that use PipeWire cameras see %1.</source>
        <translation>I programmi che usano le videocamere PipeWire vedono %1.</translation>
    </message>
    <message>
        <source>Register adds it for programs that only open /dev/video*.</source>
        <translation>«Attiva» la aggiunge per i programmi che aprono solo /dev/video*.</translation>
    </message>
</context>
</TS>
