<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR" sourcelanguage="en">
<context>
    <name>MainWindow</name>
    <message>
        <source> Open media...</source>
        <translation> Abrir mídia…</translation>
    </message>
    <message>
        <source> Pause</source>
        <translation> Pausar</translation>
    </message>
    <message>
        <source> Play</source>
        <translation> Reproduzir</translation>
    </message>
    <message>
        <source> Register</source>
        <translation> Ativar</translation>
    </message>
    <message>
        <source> Stop</source>
        <translation> Parar</translation>
    </message>
    <message>
        <source> Unregister</source>
        <translation> Desativar</translation>
    </message>
    <message>
        <source>%1  |  %2 fps  |  %3x%4</source>
        <translation>%1  |  %2 qps  |  %3x%4</translation>
    </message>
    <message>
        <source>&amp;About Orvenna</source>
        <translation>&amp;Sobre o Orvenna</translation>
    </message>
    <message>
        <source>&amp;Close media</source>
        <translation>&amp;Fechar mídia</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Arquivo</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>A&amp;juda</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Idioma</translation>
    </message>
    <message>
        <source>&amp;Open media...</source>
        <translation>&amp;Abrir mídia…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Sair</translation>
    </message>
    <message>
        <source>&amp;Settings</source>
        <translation>&amp;Configurações</translation>
    </message>
    <message>
        <source>About Orvenna</source>
        <translation>Sobre o Orvenna</translation>
    </message>
    <message>
        <source>All supported files (%1);;Videos (%2);;Images (%3);;All files (*.*)</source>
        <translation>Todos os arquivos compatíveis (%1);;Vídeos (%2);;Imagens (%3);;Todos os arquivos (*.*)</translation>
    </message>
    <message>
        <source>Auto (system)</source>
        <translation>Automático (sistema)</translation>
    </message>
    <message>
        <source>Built with Qt %1 · softcam (MIT license)</source>
        <translation>Feito com Qt %1 · softcam (licença MIT)</translation>
    </message>
    <message>
        <source>Camera registered!</source>
        <translation>Câmera ativada!</translation>
    </message>
    <message>
        <source>Camera unregistered.</source>
        <translation>Câmera desativada.</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Conectado</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Baixar</translation>
    </message>
    <message>
        <source>Failed to create virtual camera.</source>
        <translation>Não foi possível criar a câmera virtual.</translation>
    </message>
    <message>
        <source>Failed to load image.</source>
        <translation>Não foi possível carregar a imagem.</translation>
    </message>
    <message>
        <source>Failed to open video.</source>
        <translation>Não foi possível abrir o vídeo.</translation>
    </message>
    <message>
        <source>Failed.</source>
        <translation>Falhou.</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Imagem</translation>
    </message>
    <message>
        <source>Image loaded. Press Play to stream.</source>
        <translation>Imagem carregada. Clique em “Reproduzir” para transmitir.</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Carregando…</translation>
    </message>
    <message>
        <source>Loop</source>
        <translation>Repetir</translation>
    </message>
    <message>
        <source>Minimize to tray on close</source>
        <translation>Minimizar para a bandeja ao fechar</translation>
    </message>
    <message>
        <source>Mirror</source>
        <translation>Espelhar</translation>
    </message>
    <message>
        <source>No file selected</source>
        <translation>Nenhum arquivo selecionado</translation>
    </message>
    <message>
        <source>Not registered</source>
        <translation>Não ativada</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Abrir arquivo</translation>
    </message>
    <message>
        <source>Open a file first.</source>
        <translation>Abra um arquivo primeiro.</translation>
    </message>
    <message>
        <source>Open media...</source>
        <translation>Abrir mídia…</translation>
    </message>
    <message>
        <source>Orvenna %1 is available.</source>
        <translation>O Orvenna %1 está disponível.</translation>
    </message>
    <message>
        <source>Orvenna - Connected</source>
        <translation>Orvenna - Conectado</translation>
    </message>
    <message>
        <source>Orvenna - Streaming</source>
        <translation>Orvenna - Transmitindo</translation>
    </message>
    <message>
        <source>Orvenna is free for personal use. For commercial use or redistribution, please ask for a license at %1.</source>
        <translation>O Orvenna é gratuito para uso pessoal. Para uso comercial ou redistribuição, solicite uma licença em %1.</translation>
    </message>
    <message>
        <source>Orvenna v%1</source>
        <translation>Orvenna v%1</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pausar</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>Pausado</translation>
    </message>
    <message>
        <source>Paused.</source>
        <translation>Pausado.</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Reproduzir</translation>
    </message>
    <message>
        <source>Playback finished.</source>
        <translation>Reprodução concluída.</translation>
    </message>
    <message>
        <source>Playing</source>
        <translation>Reproduzindo</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Sair</translation>
    </message>
    <message>
        <source>Ready.</source>
        <translation>Pronto.</translation>
    </message>
    <message>
        <source>Register the camera first.</source>
        <translation>Ative a câmera primeiro.</translation>
    </message>
    <message>
        <source>Registered</source>
        <translation>Ativada</translation>
    </message>
    <message>
        <source>Registering...</source>
        <translation>Ativando…</translation>
    </message>
    <message>
        <source>Registration failed.</source>
        <translation>Falha ao ativar a câmera.</translation>
    </message>
    <message>
        <source>Resolution:</source>
        <translation>Resolução:</translation>
    </message>
    <message>
        <source>Resuming...</source>
        <translation>Retomando…</translation>
    </message>
    <message>
        <source>Send anonymous usage statistics</source>
        <translation>Enviar estatísticas de uso anônimas</translation>
    </message>
    <message>
        <source>Send sound as a microphone</source>
        <translation>Enviar o som como microfone</translation>
    </message>
    <message>
        <source>Show Orvenna</source>
        <translation>Mostrar o Orvenna</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Origem</translation>
    </message>
    <message>
        <source>Status:</source>
        <translation>Estado:</translation>
    </message>
    <message>
        <source>Stopped.</source>
        <translation>Parado.</translation>
    </message>
    <message>
        <source>Stream any video or image as a webcam in Zoom, Teams, Skype, Telegram and any app that uses a camera.</source>
        <translation>Transmita qualquer vídeo ou imagem como webcam no Zoom, Teams, Skype, Telegram e em qualquer aplicativo que use uma câmera.</translation>
    </message>
    <message>
        <source>Streaming...</source>
        <translation>Transmitindo…</translation>
    </message>
    <message>
        <source>Stretch</source>
        <translation>Esticar</translation>
    </message>
    <message>
        <source>Unregistering...</source>
        <translation>Desativando…</translation>
    </message>
    <message>
        <source>Video loaded. Press Play to stream.</source>
        <translation>Vídeo carregado. Clique em “Reproduzir” para transmitir.</translation>
    </message>
    <message>
        <source>Virtual Camera</source>
        <translation>Câmera virtual</translation>
    </message>
    <message>
        <source>Virtual camera for Linux</source>
        <translation>Câmera virtual para Linux</translation>
    </message>
    <message>
        <source>Virtual camera for Windows</source>
        <translation>Câmera virtual para Windows</translation>
    </message>
    <message>
        <source>Waiting for app...</source>
        <translation>Aguardando um aplicativo…</translation>
    </message>
    <message>
        <source>libsoftcam.so not found. Place it next to orvenna</source>
        <translation>libsoftcam.so não encontrado. Coloque-o ao lado de orvenna</translation>
    </message>
    <message>
        <source>softcam.dll not found. Place it next to Orvenna.exe</source>
        <translation>softcam.dll não encontrado. Coloque-o ao lado de Orvenna.exe</translation>
    </message>
    <message>
        <source>PipeWire</source>
        <translation>PipeWire</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1: %2</source>
        <translation>Não foi possível salvar as configurações em %1: %2</translation>
    </message>
    <message>
        <source>the file cannot be written</source>
        <translation>não é possível gravar o arquivo</translation>
    </message>
    <message>
        <source>Settings not saved</source>
        <translation>Configurações não salvas</translation>
    </message>
    <message>
        <source>Programs that use PipeWire cameras see %1.</source>
        <translation>Os programas que usam câmeras do PipeWire veem %1.</translation>
    </message>
    <message>
        <source>Register adds it for programs that only open /dev/video*.</source>
        <translation>“Ativar” a adiciona para os programas que só abrem /dev/video*.</translation>
    </message>
</context>
</TS>
