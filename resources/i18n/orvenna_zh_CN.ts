<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>MainWindow</name>
    <message>
        <source> Open media...</source>
        <translation> 打开媒体…</translation>
    </message>
    <message>
        <source> Pause</source>
        <translation> 暂停</translation>
    </message>
    <message>
        <source> Play</source>
        <translation> 播放</translation>
    </message>
    <message>
        <source> Register</source>
        <translation> 启用</translation>
    </message>
    <message>
        <source> Stop</source>
        <translation> 停止</translation>
    </message>
    <message>
        <source> Unregister</source>
        <translation> 停用</translation>
    </message>
    <message>
        <source>%1  |  %2 fps  |  %3x%4</source>
        <translation>%1  |  %2 帧/秒  |  %3x%4</translation>
    </message>
    <message>
        <source>&amp;About Orvenna</source>
        <translation>关于 Orvenna(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Close media</source>
        <translation>关闭媒体(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>语言(&amp;L)</translation>
    </message>
    <message>
        <source>&amp;Open media...</source>
        <translation>打开媒体(&amp;O)…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>退出(&amp;Q)</translation>
    </message>
    <message>
        <source>&amp;Settings</source>
        <translation>设置(&amp;S)</translation>
    </message>
    <message>
        <source>About Orvenna</source>
        <translation>关于 Orvenna</translation>
    </message>
    <message>
        <source>All supported files (%1);;Videos (%2);;Images (%3);;All files (*.*)</source>
        <translation>所有支持的文件 (%1);;视频 (%2);;图片 (%3);;所有文件 (*.*)</translation>
    </message>
    <message>
        <source>Auto (system)</source>
        <translation>自动（系统）</translation>
    </message>
    <message>
        <source>Built with Qt %1 · softcam (MIT license)</source>
        <translation>使用 Qt %1 构建 · softcam（MIT 许可证）</translation>
    </message>
    <message>
        <source>Camera registered!</source>
        <translation>摄像头已启用！</translation>
    </message>
    <message>
        <source>Camera unregistered.</source>
        <translation>摄像头已停用。</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>已连接</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>下载</translation>
    </message>
    <message>
        <source>Failed to create virtual camera.</source>
        <translation>无法创建虚拟摄像头。</translation>
    </message>
    <message>
        <source>Failed to load image.</source>
        <translation>无法加载图片。</translation>
    </message>
    <message>
        <source>Failed to open video.</source>
        <translation>无法打开视频。</translation>
    </message>
    <message>
        <source>Failed.</source>
        <translation>失败。</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>图片</translation>
    </message>
    <message>
        <source>Image loaded. Press Play to stream.</source>
        <translation>图片已加载。点击“播放”开始推流。</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>正在加载…</translation>
    </message>
    <message>
        <source>Loop</source>
        <translation>循环</translation>
    </message>
    <message>
        <source>Minimize to tray on close</source>
        <translation>关闭时最小化到托盘</translation>
    </message>
    <message>
        <source>Mirror</source>
        <translation>镜像</translation>
    </message>
    <message>
        <source>No file selected</source>
        <translation>未选择文件</translation>
    </message>
    <message>
        <source>Not registered</source>
        <translation>未启用</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>Open a file first.</source>
        <translation>请先打开文件。</translation>
    </message>
    <message>
        <source>Open media...</source>
        <translation>打开媒体…</translation>
    </message>
    <message>
        <source>Orvenna %1 is available.</source>
        <translation>Orvenna %1 已发布。</translation>
    </message>
    <message>
        <source>Orvenna - Connected</source>
        <translation>Orvenna - 已连接</translation>
    </message>
    <message>
        <source>Orvenna - Streaming</source>
        <translation>Orvenna - 正在推流</translation>
    </message>
    <message>
        <source>Orvenna is free for personal use. For commercial use or redistribution, please ask for a license at %1.</source>
        <translation>Orvenna 可免费用于个人用途。如需商业使用或再分发，请通过 %1 申请许可证。</translation>
    </message>
    <message>
        <source>Orvenna v%1</source>
        <translation>Orvenna v%1</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>暂停</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>已暂停</translation>
    </message>
    <message>
        <source>Paused.</source>
        <translation>已暂停。</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>播放</translation>
    </message>
    <message>
        <source>Playback finished.</source>
        <translation>播放完毕。</translation>
    </message>
    <message>
        <source>Playing</source>
        <translation>正在播放</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Ready.</source>
        <translation>就绪。</translation>
    </message>
    <message>
        <source>Register the camera first.</source>
        <translation>请先启用摄像头。</translation>
    </message>
    <message>
        <source>Registered</source>
        <translation>已启用</translation>
    </message>
    <message>
        <source>Registering...</source>
        <translation>正在启用…</translation>
    </message>
    <message>
        <source>Registration failed.</source>
        <translation>启用失败。</translation>
    </message>
    <message>
        <source>Resolution:</source>
        <translation>分辨率：</translation>
    </message>
    <message>
        <source>Resuming...</source>
        <translation>正在继续…</translation>
    </message>
    <message>
        <source>Send anonymous usage statistics</source>
        <translation>发送匿名使用统计</translation>
    </message>
    <message>
        <source>Send sound as a microphone</source>
        <translation>将声音作为麦克风发送</translation>
    </message>
    <message>
        <source>Show Orvenna</source>
        <translation>显示 Orvenna</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>来源</translation>
    </message>
    <message>
        <source>Status:</source>
        <translation>状态：</translation>
    </message>
    <message>
        <source>Stopped.</source>
        <translation>已停止。</translation>
    </message>
    <message>
        <source>Stream any video or image as a webcam in Zoom, Teams, Skype, Telegram and any app that uses a camera.</source>
        <translation>将任意视频或图片作为摄像头画面，用于 Zoom、Teams、Skype、Telegram 以及任何使用摄像头的应用。</translation>
    </message>
    <message>
        <source>Streaming...</source>
        <translation>正在推流…</translation>
    </message>
    <message>
        <source>Stretch</source>
        <translation>拉伸</translation>
    </message>
    <message>
        <source>Unregistering...</source>
        <translation>正在停用…</translation>
    </message>
    <message>
        <source>Video loaded. Press Play to stream.</source>
        <translation>视频已加载。点击“播放”开始推流。</translation>
    </message>
    <message>
        <source>Virtual Camera</source>
        <translation>虚拟摄像头</translation>
    </message>
    <message>
        <source>Virtual camera for Linux</source>
        <translation>适用于 Linux 的虚拟摄像头</translation>
    </message>
    <message>
        <source>Virtual camera for Windows</source>
        <translation>适用于 Windows 的虚拟摄像头</translation>
    </message>
    <message>
        <source>Waiting for app...</source>
        <translation>等待应用…</translation>
    </message>
    <message>
        <source>libsoftcam.so not found. Place it next to orvenna</source>
        <translation>未找到 libsoftcam.so。请将其放在 orvenna 所在的文件夹中</translation>
    </message>
    <message>
        <source>softcam.dll not found. Place it next to Orvenna.exe</source>
        <translation>未找到 softcam.dll。请将其放在 Orvenna.exe 所在的文件夹中</translation>
    </message>
    <message>
        <source>PipeWire</source>
        <translation>PipeWire</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1: %2</source>
        <translation>无法将设置保存到 %1：%2</translation>
    </message>
    <message>
        <source>the file cannot be written</source>
        <translation>无法写入该文件</translation>
    </message>
    <message>
        <source>Settings not saved</source>
        <translation>设置未保存</translation>
    </message>
    <message>
        <source>Programs that use PipeWire cameras see %1.</source>
        <translation>使用 PipeWire 摄像头的程序可以看到 %1。</translation>
    </message>
    <message>
        <source>Register adds it for programs that only open /dev/video*.</source>
        <translation>“启用”会为只打开 /dev/video* 的程序添加它。</translation>
    </message>
</context>
</TS>
