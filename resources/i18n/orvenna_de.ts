<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>MainWindow</name>
    <message>
        <source> Open media...</source>
        <translation> Medien öffnen…</translation>
    </message>
    <message>
        <source> Pause</source>
        <translation> Pause</translation>
    </message>
    <message>
        <source> Play</source>
        <translation> Wiedergabe</translation>
    </message>
    <message>
        <source> Register</source>
        <translation> Aktivieren</translation>
    </message>
    <message>
        <source> Stop</source>
        <translation> Stopp</translation>
    </message>
    <message>
        <source> Unregister</source>
        <translation> Deaktivieren</translation>
    </message>
    <message>
        <source>%1  |  %2 fps  |  %3x%4</source>
        <translation>%1  |  %2 fps  |  %3x%4</translation>
    </message>
    <message>
        <source>&amp;About Orvenna</source>
        <translation>Ü&amp;ber Orvenna</translation>
    </message>
    <message>
        <source>&amp;Close media</source>
        <translation>Medien &amp;schließen</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Sprache</translation>
    </message>
    <message>
        <source>&amp;Open media...</source>
        <translation>Medien ö&amp;ffnen…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Settings</source>
        <translation>&amp;Einstellungen</translation>
    </message>
    <message>
        <source>About Orvenna</source>
        <translation>Über Orvenna</translation>
    </message>
    <message>
        <source>All supported files (%1);;Videos (%2);;Images (%3);;All files (*.*)</source>
        <translation>Alle unterstützten Dateien (%1);;Videos (%2);;Bilder (%3);;Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>Auto (system)</source>
        <translation>Automatisch (System)</translation>
    </message>
    <message>
        <source>Built with Qt %1 · softcam (MIT license)</source>
        <translation>Erstellt mit Qt %1 · softcam (MIT-Lizenz)</translation>
    </message>
    <message>
        <source>Camera registered!</source>
        <translation>Kamera aktiviert!</translation>
    </message>
    <message>
        <source>Camera unregistered.</source>
        <translation>Kamera deaktiviert.</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Verbunden</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Herunterladen</translation>
    </message>
    <message>
        <source>Failed to create virtual camera.</source>
        <translation>Virtuelle Kamera konnte nicht erstellt werden.</translation>
    </message>
    <message>
        <source>Failed to load image.</source>
        <translation>Bild konnte nicht geladen werden.</translation>
    </message>
    <message>
        <source>Failed to open video.</source>
        <translation>Video konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>Failed.</source>
        <translation>Fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Bild</translation>
    </message>
    <message>
        <source>Image loaded. Press Play to stream.</source>
        <translation>Bild geladen. Zum Übertragen auf „Wiedergabe“ klicken.</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Wird geladen…</translation>
    </message>
    <message>
        <source>Loop</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>Minimize to tray on close</source>
        <translation>Beim Schließen in den Infobereich minimieren</translation>
    </message>
    <message>
        <source>Mirror</source>
        <translation>Spiegeln</translation>
    </message>
    <message>
        <source>No file selected</source>
        <translation>Keine Datei ausgewählt</translation>
    </message>
    <message>
        <source>Not registered</source>
        <translation>Nicht aktiviert</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Datei öffnen</translation>
    </message>
    <message>
        <source>Open a file first.</source>
        <translation>Öffnen Sie zuerst eine Datei.</translation>
    </message>
    <message>
        <source>Open media...</source>
        <translation>Medien öffnen…</translation>
    </message>
    <message>
        <source>Orvenna %1 is available.</source>
        <translation>Orvenna %1 ist verfügbar.</translation>
    </message>
    <message>
        <source>Orvenna - Connected</source>
        <translation>Orvenna - Verbunden</translation>
    </message>
    <message>
        <source>Orvenna - Streaming</source>
        <translation>Orvenna - Übertragung läuft</translation>
    </message>
    <message>
        <source>Orvenna is free for personal use. For commercial use or redistribution, please ask for a license at %1.</source>
        <translation>Orvenna ist für den privaten Gebrauch kostenlos. Für die kommerzielle Nutzung oder Weitergabe fragen Sie bitte unter %1 nach einer Lizenz.</translation>
    </message>
    <message>
        <source>Orvenna v%1</source>
        <translation>Orvenna v%1</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>Angehalten</translation>
    </message>
    <message>
        <source>Paused.</source>
        <translation>Angehalten.</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Wiedergabe</translation>
    </message>
    <message>
        <source>Playback finished.</source>
        <translation>Wiedergabe beendet.</translation>
    </message>
    <message>
        <source>Playing</source>
        <translation>Wiedergabe läuft</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Ready.</source>
        <translation>Bereit.</translation>
    </message>
    <message>
        <source>Register the camera first.</source>
        <translation>Aktivieren Sie zuerst die Kamera.</translation>
    </message>
    <message>
        <source>Registered</source>
        <translation>Aktiviert</translation>
    </message>
    <message>
        <source>Registering...</source>
        <translation>Wird aktiviert…</translation>
    </message>
    <message>
        <source>Registration failed.</source>
        <translation>Aktivierung fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Resolution:</source>
        <translation>Auflösung:</translation>
    </message>
    <message>
        <source>Resuming...</source>
        <translation>Wird fortgesetzt…</translation>
    </message>
    <message>
        <source>Send anonymous usage statistics</source>
        <translation>Anonyme Nutzungsstatistiken senden</translation>
    </message>
    <message>
        <source>Send sound as a microphone</source>
        <translation>Ton als Mikrofon senden</translation>
    </message>
    <message>
        <source>Show Orvenna</source>
        <translation>Orvenna anzeigen</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Quelle</translation>
    </message>
    <message>
        <source>Status:</source>
        <translation>Status:</translation>
    </message>
    <message>
        <source>Stopped.</source>
        <translation>Gestoppt.</translation>
    </message>
    <message>
        <source>Stream any video or image as a webcam in Zoom, Teams, Skype, Telegram and any app that uses a camera.</source>
        <translation>Streamen Sie jedes Video und jedes Bild als Webcam in Zoom, Teams, Skype, Telegram und jeder App, die eine Kamera nutzt.</translation>
    </message>
    <message>
        <source>Streaming...</source>
        <translation>Übertragung läuft…</translation>
    </message>
    <message>
        <source>Stretch</source>
        <translation>Strecken</translation>
    </message>
    <message>
        <source>Unregistering...</source>
        <translation>Wird deaktiviert…</translation>
    </message>
    <message>
        <source>Video loaded. Press Play to stream.</source>
        <translation>Video geladen. Zum Übertragen auf „Wiedergabe“ klicken.</translation>
    </message>
    <message>
        <source>Virtual Camera</source>
        <translation>Virtuelle Kamera</translation>
    </message>
    <message>
        <source>Virtual camera for Linux</source>
        <translation>Virtuelle Kamera für Linux</translation>
    </message>
    <message>
        <source>Virtual camera for Windows</source>
        <translation>Virtuelle Kamera für Windows</translation>
    </message>
    <message>
        <source>Waiting for app...</source>
        <translation>Warte auf App…</translation>
    </message>
    <message>
        <source>libsoftcam.so not found. Place it next to orvenna</source>
        <translation>libsoftcam.so wurde nicht gefunden. Legen Sie die Datei neben orvenna</translation>
    </message>
    <message>
        <source>softcam.dll not found. Place it next to Orvenna.exe</source>
        <translation>softcam.dll wurde nicht gefunden. Legen Sie die Datei neben Orvenna.exe</translation>
    </message>
    <message>
        <source>PipeWire</source>
        <translation>PipeWire</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1: %2</source>
        <translation>Die Einstellungen konnten nicht in %1 gespeichert werden: %2</translation>
    </message>
    <message>
        <source>the file cannot be written</source>
        <translation>die Datei kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Settings not saved</source>
        <translation>Einstellungen nicht gespeichert</translation>
    </message>
    <message>
        <source>Programs that use PipeWire cameras see %1.</source>
        <translation>Programme, die PipeWire-Kameras verwenden, sehen %1.</translation>
    </message>
    <message>
        <source>Register adds it for programs that only open /dev/video*.</source>
        <translation>„Aktivieren“ fügt sie für Programme hinzu, die nur /dev/video* öffnen.</translation>
    </message>
</context>
</TS>
