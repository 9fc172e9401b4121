<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>MainWindow</name>
    <message>
        <source> Open media...</source>
        <translation> Abrir medio…</translation>
    </message>
    <message>
        <source> Pause</source>
        <translation> Pausa</translation>
    </message>
    <message>
        <source> Play</source>
        <translation> Reproducir</translation>
    </message>
    <message>
        <source> Register</source>
        <translation> Activar</translation>
    </message>
    <message>
        <source> Stop</source>
        <translation> Detener</translation>
    </message>
    <message>
        <source> Unregister</source>
        <translation> Desactivar</translation>
    </message>
    <message>
        <source>%1  |  %2 fps  |  %3x%4</source>
        <translation>%1  |  %2 fps  |  %3x%4</translation>
    </message>
    <message>
        <source>&amp;About Orvenna</source>
        <translation>&amp;Acerca de Orvenna</translation>
    </message>
    <message>
        <source>&amp;Close media</source>
        <translation>&amp;Cerrar medio</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Archivo</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Ay&amp;uda</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Idioma</translation>
    </message>
    <message>
        <source>&amp;Open media...</source>
        <translation>&amp;Abrir medio…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Salir</translation>
    </message>
    <message>
        <source>&amp;Settings</source>
        <translation>&amp;Configuración</translation>
    </message>
    <message>
        <source>About Orvenna</source>
        <translation>Acerca de Orvenna</translation>
    </message>
    <message>
        <source>All supported files (%1);;Videos (%2);;Images (%3);;All files (*.*)</source>
        <translation>Todos los archivos compatibles (%1);;Vídeos (%2);;Imágenes (%3);;Todos los archivos (*.*)</translation>
    </message>
    <message>
        <source>Auto (system)</source>
        <translation>Automático (sistema)</translation>
    </message>
    <message>
        <source>Built with Qt %1 · softcam (MIT license)</source>
        <translation>Creado con Qt %1 · softcam (licencia MIT)</translation>
    </message>
    <message>
        <source>Camera registered!</source>
        <translation>¡Cámara activada!</translation>
    </message>
    <message>
        <source>Camera unregistered.</source>
        <translation>Cámara desactivada.</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Conectado</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Descargar</translation>
    </message>
    <message>
        <source>Failed to create virtual camera.</source>
        <translation>No se pudo crear la cámara virtual.</translation>
    </message>
    <message>
        <source>Failed to load image.</source>
        <translation>No se pudo cargar la imagen.</translation>
    </message>
    <message>
        <source>Failed to open video.</source>
        <translation>No se pudo abrir el vídeo.</translation>
    </message>
    <message>
        <source>Failed.</source>
        <translation>Error.</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Imagen</translation>
    </message>
    <message>
        <source>Image loaded. Press Play to stream.</source>
        <translation>Imagen cargada. Pulse «Reproducir» para transmitir.</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Cargando…</translation>
    </message>
    <message>
        <source>Loop</source>
        <translation>Repetir</translation>
    </message>
    <message>
        <source>Minimize to tray on close</source>
        <translation>Minimizar a la bandeja del sistema al cerrar</translation>
    </message>
    <message>
        <source>Mirror</source>
        <translation>Espejo</translation>
    </message>
    <message>
        <source>No file selected</source>
        <translation>Ningún archivo seleccionado</translation>
    </message>
    <message>
        <source>Not registered</source>
        <translation>No activada</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Abrir archivo</translation>
    </message>
    <message>
        <source>Open a file first.</source>
        <translation>Abra primero un archivo.</translation>
    </message>
    <message>
        <source>Open media...</source>
        <translation>Abrir medio…</translation>
    </message>
    <message>
        <source>Orvenna %1 is available.</source>
        <translation>Orvenna %1 está disponible.</translation>
    </message>
    <message>
        <source>Orvenna - Connected</source>
        <translation>Orvenna - Conectado</translation>
    </message>
    <message>
        <source>Orvenna - Streaming</source>
        <translation>Orvenna - Transmitiendo</translation>
    </message>
    <message>
        <source>Orvenna is free for personal use. For commercial use or redistribution, please ask for a license at %1.</source>
        <translation>Orvenna es gratuito para uso personal. Para uso comercial o redistribución, solicite una licencia en %1.</translation>
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
        <translation>En pausa</translation>
    </message>
    <message>
        <source>Paused.</source>
        <translation>En pausa.</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Reproducir</translation>
    </message>
    <message>
        <source>Playback finished.</source>
        <translation>Reproducción finalizada.</translation>
    </message>
    <message>
        <source>Playing</source>
        <translation>Reproduciendo</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Salir</translation>
    </message>
    <message>
        <source>Ready.</source>
        <translation>Listo.</translation>
    </message>
    <message>
        <source>Register the camera first.</source>
        <translation>Active primero la cámara.</translation>
    </message>
    <message>
        <source>Registered</source>
        <translation>Activada</translation>
    </message>
    <message>
        <source>Registering...</source>
        <translation>Activando…</translation>
    </message>
    <message>
        <source>Registration failed.</source>
        <translation>Error al activar la cámara.</translation>
    </message>
    <message>
        <source>Resolution:</source>
        <translation>Resolución:</translation>
    </message>
    <message>
        <source>Resuming...</source>
        <translation>Reanudando…</translation>
    </message>
    <message>
        <source>Send anonymous usage statistics</source>
        <translation>Enviar estadísticas de uso anónimas</translation>
    </message>
    <message>
        <source>Send sound as a microphone</source>
        <translation>Enviar el sonido como micrófono</translation>
    </message>
    <message>
        <source>Show Orvenna</source>
        <translation>Mostrar Orvenna</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Origen</translation>
    </message>
    <message>
        <source>Status:</source>
        <translation>Estado:</translation>
    </message>
    <message>
        <source>Stopped.</source>
        <translation>Detenido.</translation>
    </message>
    <message>
        <source>Stream any video or image as a webcam in Zoom, Teams, Skype, Telegram and any app that uses a camera.</source>
        <translation>Transmite cualquier vídeo o imagen como cámara web en Zoom, Teams, Skype, Telegram y cualquier aplicación que use una cámara.</translation>
    </message>
    <message>
        <source>Streaming...</source>
        <translation>Transmitiendo…</translation>
    </message>
    <message>
        <source>Stretch</source>
        <translation>Estirar</translation>
    </message>
    <message>
        <source>Unregistering...</source>
        <translation>Desactivando…</translation>
    </message>
    <message>
        <source>Video loaded. Press Play to stream.</source>
        <translation>Vídeo cargado. Pulse «Reproducir» para transmitir.</translation>
    </message>
    <message>
        <source>Virtual Camera</source>
        <translation>Cámara virtual</translation>
    </message>
    <message>
        <source>Virtual camera for Linux</source>
        <translation>Cámara virtual para Linux</translation>
    </message>
    <message>
        <source>Virtual camera for Windows</source>
        <translation>Cámara virtual para Windows</translation>
    </message>
    <message>
        <source>Waiting for app...</source>
        <translation>Esperando una aplicación…</translation>
    </message>
    <message>
        <source>libsoftcam.so not found. Place it next to orvenna</source>
        <translation>No se encontró libsoftcam.so. Colóquelo junto a orvenna</translation>
    </message>
    <message>
        <source>softcam.dll not found. Place it next to Orvenna.exe</source>
        <translation>No se encontró softcam.dll. Colóquelo junto a Orvenna.exe</translation>
    </message>
    <message>
        <source>PipeWire</source>
        <translation>PipeWire</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1: %2</source>
        <translation>No se pudo guardar la configuración en %1: %2</translation>
    </message>
    <message>
        <source>the file cannot be written</source>
        <translation>no se puede escribir el archivo</translation>
    </message>
    <message>
        <source>Settings not saved</source>
        <translation>Configuración no guardada</translation>
    </message>
    <message>
        <source>Programs that use PipeWire cameras see %1.</source>
        <translation>Los programas que usan cámaras de PipeWire ven %1.</translation>
    </message>
    <message>
        <source>Register adds it for programs that only open /dev/video*.</source>
        <translation>«Activar» la añade para los programas que solo abren /dev/video*.</translation>
    </message>
</context>
</TS>
