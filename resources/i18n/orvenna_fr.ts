<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>MainWindow</name>
    <message>
        <source> Open media...</source>
        <translation> Ouvrir un média…</translation>
    </message>
    <message>
        <source> Pause</source>
        <translation> Pause</translation>
    </message>
    <message>
        <source> Play</source>
        <translation> Lecture</translation>
    </message>
    <message>
        <source> Register</source>
        <translation> Activer</translation>
    </message>
    <message>
        <source> Stop</source>
        <translation> Arrêter</translation>
    </message>
    <message>
        <source> Unregister</source>
        <translation> Désactiver</translation>
    </message>
    <message>
        <source>%1  |  %2 fps  |  %3x%4</source>
        <translation>%1  |  %2 im/s  |  %3x%4</translation>
    </message>
    <message>
        <source>&amp;About Orvenna</source>
        <translation>À &amp;propos d'Orvenna</translation>
    </message>
    <message>
        <source>&amp;Close media</source>
        <translation>&amp;Fermer le média</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Langue</translation>
    </message>
    <message>
        <source>&amp;Open media...</source>
        <translation>&amp;Ouvrir un média…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;Settings</source>
        <translation>&amp;Paramètres</translation>
    </message>
    <message>
        <source>About Orvenna</source>
        <translation>À propos d'Orvenna</translation>
    </message>
    <message>
        <source>All supported files (%1);;Videos (%2);;Images (%3);;All files (*.*)</source>
        <translation>Tous les fichiers pris en charge (%1);;Vidéos (%2);;Images (%3);;Tous les fichiers (*.*)</translation>
    </message>
    <message>
        <source>Auto (system)</source>
        <translation>Automatique (système)</translation>
    </message>
    <message>
        <source>Built with Qt %1 · softcam (MIT license)</source>
        <translation>Conçu avec Qt %1 · softcam (licence MIT)</translation>
    </message>
    <message>
        <source>Camera registered!</source>
        <translation>Caméra activée !</translation>
    </message>
    <message>
        <source>Camera unregistered.</source>
        <translation>Caméra désactivée.</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Connecté</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Télécharger</translation>
    </message>
    <message>
        <source>Failed to create virtual camera.</source>
        <translation>Impossible de créer la caméra virtuelle.</translation>
    </message>
    <message>
        <source>Failed to load image.</source>
        <translation>Impossible de charger l'image.</translation>
    </message>
    <message>
        <source>Failed to open video.</source>
        <translation>Impossible d'ouvrir la vidéo.</translation>
    </message>
    <message>
        <source>Failed.</source>
        <translation>Échec.</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Image</translation>
    </message>
    <message>
        <source>Image loaded. Press Play to stream.</source>
        <translation>Image chargée. Cliquez sur « Lecture » pour diffuser.</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Chargement…</translation>
    </message>
    <message>
        <source>Loop</source>
        <translation>En boucle</translation>
    </message>
    <message>
        <source>Minimize to tray on close</source>
        <translation>Réduire dans la zone de notification à la fermeture</translation>
    </message>
    <message>
        <source>Mirror</source>
        <translation>Miroir</translation>
    </message>
    <message>
        <source>No file selected</source>
        <translation>Aucun fichier sélectionné</translation>
    </message>
    <message>
        <source>Not registered</source>
        <translation>Non activée</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Ouvrir un fichier</translation>
    </message>
    <message>
        <source>Open a file first.</source>
        <translation>Ouvrez d'abord un fichier.</translation>
    </message>
    <message>
        <source>Open media...</source>
        <translation>Ouvrir un média…</translation>
    </message>
    <message>
        <source>Orvenna %1 is available.</source>
        <translation>Orvenna %1 est disponible.</translation>
    </message>
    <message>
        <source>Orvenna - Connected</source>
        <translation>Orvenna - Connecté</translation>
    </message>
    <message>
        <source>Orvenna - Streaming</source>
        <translation>Orvenna - Diffusion en cours</translation>
    </message>
    <message>
        <source>Orvenna is free for personal use. For commercial use or redistribution, please ask for a license at %1.</source>
        <translation>Orvenna est gratuit pour un usage personnel. Pour un usage commercial ou une redistribution, demandez une licence sur %1.</translation>
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
        <translation>En pause</translation>
    </message>
    <message>
        <source>Paused.</source>
        <translation>En pause.</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Lecture</translation>
    </message>
    <message>
        <source>Playback finished.</source>
        <translation>Lecture terminée.</translation>
    </message>
    <message>
        <source>Playing</source>
        <translation>Lecture en cours</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Ready.</source>
        <translation>Prêt.</translation>
    </message>
    <message>
        <source>Register the camera first.</source>
        <translation>Activez d'abord la caméra.</translation>
    </message>
    <message>
        <source>Registered</source>
        <translation>Activée</translation>
    </message>
    <message>
        <source>Registering...</source>
        <translation>Activation…</translation>
    </message>
    <message>
        <source>Registration failed.</source>
        <translation>Échec de l'activation.</translation>
    </message>
    <message>
        <source>Resolution:</source>
        <translation>Résolution :</translation>
    </message>
    <message>
        <source>Resuming...</source>
        <translation>Reprise…</translation>
    </message>
    <message>
        <source>Send anonymous usage statistics</source>
        <translation>Envoyer des statistiques d'utilisation anonymes</translation>
    </message>
    <message>
        <source>Send sound as a microphone</source>
        <translation>Envoyer le son comme microphone</translation>
    </message>
    <message>
        <source>Show Orvenna</source>
        <translation>Afficher Orvenna</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>Status:</source>
        <translation>État :</translation>
    </message>
    <message>
        <source>Stopped.</source>
        <translation>Arrêté.</translation>
    </message>
    <message>
        <source>Stream any video or image as a webcam in Zoom, Teams, Skype, Telegram and any app that uses a camera.</source>
        <translation>Diffusez n'importe quelle vidéo ou image comme webcam dans Zoom, Teams, Skype, Telegram et toute application qui utilise une caméra.</translation>
    </message>
    <message>
        <source>Streaming...</source>
        <translation>Diffusion en cours…</translation>
    </message>
    <message>
        <source>Stretch</source>
        <translation>Étirer</translation>
    </message>
    <message>
        <source>Unregistering...</source>
        <translation>Désactivation…</translation>
    </message>
    <message>
        <source>Video loaded. Press Play to stream.</source>
        <translation>Vidéo chargée. Cliquez sur « Lecture » pour diffuser.</translation>
    </message>
    <message>
        <source>Virtual Camera</source>
        <translation>Caméra virtuelle</translation>
    </message>
    <message>
        <source>Virtual camera for Linux</source>
        <translation>Caméra virtuelle pour Linux</translation>
    </message>
    <message>
        <source>Virtual camera for Windows</source>
        <translation>Caméra virtuelle pour Windows</translation>
    </message>
    <message>
        <source>Waiting for app...</source>
        <translation>En attente d'une application…</translation>
    </message>
    <message>
        <source>libsoftcam.so not found. Place it next to orvenna</source>
        <translation>libsoftcam.so introuvable. Placez-le à côté du programme orvenna</translation>
    </message>
    <message>
        <source>softcam.dll not found. Place it next to Orvenna.exe</source>
        <translation>softcam.dll introuvable. Placez-le à côté d'Orvenna.exe</translation>
    </message>
    <message>
        <source>PipeWire</source>
        <translation>PipeWire</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1: %2</source>
        <translation>Les paramètres n’ont pas pu être enregistrés dans %1 : %2</translation>
    </message>
    <message>
        <source>the file cannot be written</source>
        <translation>le fichier ne peut pas être écrit</translation>
    </message>
    <message>
        <source>Settings not saved</source>
        <translation>Paramètres non enregistrés</translation>
    </message>
    <message>
        <source>Programs that use PipeWire cameras see %1.</source>
        <translation>Les programmes qui utilisent les caméras PipeWire voient %1.</translation>
    </message>
    <message>
        <source>Register adds it for programs that only open /dev/video*.</source>
        <translation>« Activer » l’ajoute pour les programmes qui n’ouvrent que /dev/video*.</translation>
    </message>
</context>
</TS>
