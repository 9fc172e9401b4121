<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja" sourcelanguage="en">
<context>
    <name>MainWindow</name>
    <message>
        <source> Open media...</source>
        <translation> メディアを開く…</translation>
    </message>
    <message>
        <source> Pause</source>
        <translation> 一時停止</translation>
    </message>
    <message>
        <source> Play</source>
        <translation> 再生</translation>
    </message>
    <message>
        <source> Register</source>
        <translation> 有効化</translation>
    </message>
    <message>
        <source> Stop</source>
        <translation> 停止</translation>
    </message>
    <message>
        <source> Unregister</source>
        <translation> 無効化</translation>
    </message>
    <message>
        <source>%1  |  %2 fps  |  %3x%4</source>
        <translation>%1  |  %2 fps  |  %3x%4</translation>
    </message>
    <message>
        <source>&amp;About Orvenna</source>
        <translation>Orvenna について(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Close media</source>
        <translation>メディアを閉じる(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>言語(&amp;L)</translation>
    </message>
    <message>
        <source>&amp;Open media...</source>
        <translation>メディアを開く(&amp;O)…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>終了(&amp;Q)</translation>
    </message>
    <message>
        <source>&amp;Settings</source>
        <translation>設定(&amp;S)</translation>
    </message>
    <message>
        <source>About Orvenna</source>
        <translation>Orvenna について</translation>
    </message>
    <message>
        <source>All supported files (%1);;Videos (%2);;Images (%3);;All files (*.*)</source>
        <translation>サポートされているすべてのファイル (%1);;動画 (%2);;画像 (%3);;すべてのファイル (*.*)</translation>
    </message>
    <message>
        <source>Auto (system)</source>
        <translation>自動（システム）</translation>
    </message>
    <message>
        <source>Built with Qt %1 · softcam (MIT license)</source>
        <translation>Qt %1 で構築 · softcam（MIT ライセンス）</translation>
    </message>
    <message>
        <source>Camera registered!</source>
        <translation>カメラを有効化しました！</translation>
    </message>
    <message>
        <source>Camera unregistered.</source>
        <translation>カメラを無効化しました。</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>接続済み</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>ダウンロード</translation>
    </message>
    <message>
        <source>Failed to create virtual camera.</source>
        <translation>仮想カメラを作成できませんでした。</translation>
    </message>
    <message>
        <source>Failed to load image.</source>
        <translation>画像を読み込めませんでした。</translation>
    </message>
    <message>
        <source>Failed to open video.</source>
        <translation>動画を開けませんでした。</translation>
    </message>
    <message>
        <source>Failed.</source>
        <translation>失敗しました。</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>画像</translation>
    </message>
    <message>
        <source>Image loaded. Press Play to stream.</source>
        <translation>画像を読み込みました。「再生」を押すと配信を開始します。</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>読み込み中…</translation>
    </message>
    <message>
        <source>Loop</source>
        <translation>ループ</translation>
    </message>
    <message>
        <source>Minimize to tray on close</source>
        <translation>閉じるときに通知領域へ最小化</translation>
    </message>
    <message>
        <source>Mirror</source>
        <translation>左右反転</translation>
    </message>
    <message>
        <source>No file selected</source>
        <translation>ファイルが選択されていません</translation>
    </message>
    <message>
        <source>Not registered</source>
        <translation>無効</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>ファイルを開く</translation>
    </message>
    <message>
        <source>Open a file first.</source>
        <translation>先にファイルを開いてください。</translation>
    </message>
    <message>
        <source>Open media...</source>
        <translation>メディアを開く…</translation>
    </message>
    <message>
        <source>Orvenna %1 is available.</source>
        <translation>Orvenna %1 が利用可能です。</translation>
    </message>
    <message>
        <source>Orvenna - Connected</source>
        <translation>Orvenna - 接続済み</translation>
    </message>
    <message>
        <source>Orvenna - Streaming</source>
        <translation>Orvenna - 配信中</translation>
    </message>
    <message>
        <source>Orvenna is free for personal use. For commercial use or redistribution, please ask for a license at %1.</source>
        <translation>Orvenna は個人利用に限り無料です。商用利用や再配布のライセンスについては %1 からお問い合わせください。</translation>
    </message>
    <message>
        <source>Orvenna v%1</source>
        <translation>Orvenna v%1</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>一時停止</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>一時停止中</translation>
    </message>
    <message>
        <source>Paused.</source>
        <translation>一時停止しました。</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>再生</translation>
    </message>
    <message>
        <source>Playback finished.</source>
        <translation>再生が終了しました。</translation>
    </message>
    <message>
        <source>Playing</source>
        <translation>再生中</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Ready.</source>
        <translation>準備完了。</translation>
    </message>
    <message>
        <source>Register the camera first.</source>
        <translation>先にカメラを有効化してください。</translation>
    </message>
    <message>
        <source>Registered</source>
        <translation>有効</translation>
    </message>
    <message>
        <source>Registering...</source>
        <translation>有効化しています…</translation>
    </message>
    <message>
        <source>Registration failed.</source>
        <translation>有効化に失敗しました。</translation>
    </message>
    <message>
        <source>Resolution:</source>
        <translation>解像度：</translation>
    </message>
    <message>
        <source>Resuming...</source>
        <translation>再開しています…</translation>
    </message>
    <message>
        <source>Send anonymous usage statistics</source>
        <translation>匿名の使用統計を送信</translation>
    </message>
    <message>
        <source>Send sound as a microphone</source>
        <translation>音声をマイクとして送信</translation>
    </message>
    <message>
        <source>Show Orvenna</source>
        <translation>Orvenna を表示</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>ソース</translation>
    </message>
    <message>
        <source>Status:</source>
        <translation>状態：</translation>
    </message>
    <message>
        <source>Stopped.</source>
        <translation>停止しました。</translation>
    </message>
    <message>
        <source>Stream any video or image as a webcam in Zoom, Teams, Skype, Telegram and any app that uses a camera.</source>
        <translation>どんな動画や画像でも、Zoom、Teams、Skype、Telegram などカメラを使うあらゆるアプリで Web カメラとして配信できます。</translation>
    </message>
    <message>
        <source>Streaming...</source>
        <translation>配信中…</translation>
    </message>
    <message>
        <source>Stretch</source>
        <translation>引き伸ばし</translation>
    </message>
    <message>
        <source>Unregistering...</source>
        <translation>無効化しています…</translation>
    </message>
    <message>
        <source>Video loaded. Press Play to stream.</source>
        <translation>動画を読み込みました。「再生」を押すと配信を開始します。</translation>
    </message>
    <message>
        <source>Virtual Camera</source>
        <translation>仮想カメラ</translation>
    </message>
    <message>
        <source>Virtual camera for Linux</source>
        <translation>Linux 用仮想カメラ</translation>
    </message>
    <message>
        <source>Virtual camera for Windows</source>
        <translation>Windows 用仮想カメラ</translation>
    </message>
    <message>
        <source>Waiting for app...</source>
        <translation>アプリを待機中…</translation>
    </message>
    <message>
        <source>libsoftcam.so not found. Place it next to orvenna</source>
        <translation>libsoftcam.so が見つかりません。orvenna と同じフォルダーに置いてください</translation>
    </message>
    <message>
        <source>softcam.dll not found. Place it next to Orvenna.exe</source>
        <translation>softcam.dll が見つかりません。Orvenna.exe と同じフォルダーに置いてください</translation>
    </message>
    <message>
        <source>PipeWire</source>
        <translation>PipeWire</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1: %2</source>
        <translation>設定を %1 に保存できませんでした: %2</translation>
    </message>
    <message>
        <source>the file cannot be written</source>
        <translation>ファイルに書き込めません</translation>
    </message>
    <message>
        <source>Settings not saved</source>
        <translation>設定は保存されていません</translation>
    </message>
    <message>
        <source>Programs that use PipeWire cameras see %1.</source>
        <translation>PipeWire カメラを使うプログラムには %1 が見えます。</translation>
    </message>
    <message>
        <source>Register adds it for programs that only open /dev/video*.</source>
        <translation>「有効化」すると、/dev/video* しか開かないプログラムにも追加されます。</translation>
    </message>
</context>
</TS>
