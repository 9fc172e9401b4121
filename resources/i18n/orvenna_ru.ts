<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru" sourcelanguage="en">
<context>
    <name>MainWindow</name>
    <message>
        <source> Open media...</source>
        <translation> Открыть медиафайл…</translation>
    </message>
    <message>
        <source> Pause</source>
        <translation> Пауза</translation>
    </message>
    <message>
        <source> Play</source>
        <translation> Воспроизвести</translation>
    </message>
    <message>
        <source> Register</source>
        <translation> Включить</translation>
    </message>
    <message>
        <source> Stop</source>
        <translation> Остановить</translation>
    </message>
    <message>
        <source> Unregister</source>
        <translation> Отключить</translation>
    </message>
    <message>
        <source>%1  |  %2 fps  |  %3x%4</source>
        <translation>%1  |  %2 к/с  |  %3x%4</translation>
    </message>
    <message>
        <source>&amp;About Orvenna</source>
        <translation>&amp;О программе Orvenna</translation>
    </message>
    <message>
        <source>&amp;Close media</source>
        <translation>&amp;Закрыть медиафайл</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Файл</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Справка</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Язык</translation>
    </message>
    <message>
        <source>&amp;Open media...</source>
        <translation>&amp;Открыть медиафайл…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Выход</translation>
    </message>
    <message>
        <source>&amp;Settings</source>
        <translation>&amp;Настройки</translation>
    </message>
    <message>
        <source>About Orvenna</source>
        <translation>О программе Orvenna</translation>
    </message>
    <message>
        <source>All supported files (%1);;Videos (%2);;Images (%3);;All files (*.*)</source>
        <translation>Все поддерживаемые файлы (%1);;Видео (%2);;Изображения (%3);;Все файлы (*.*)</translation>
    </message>
    <message>
        <source>Auto (system)</source>
        <translation>Автоматически (системный)</translation>
    </message>
    <message>
        <source>Built with Qt %1 · softcam (MIT license)</source>
        <translation>Создано на Qt %1 · softcam (лицензия MIT)</translation>
    </message>
    <message>
        <source>Camera registered!</source>
        <translation>Камера включена!</translation>
    </message>
    <message>
        <source>Camera unregistered.</source>
        <translation>Камера отключена.</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Подключено</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Скачать</translation>
    </message>
    <message>
        <source>Failed to create virtual camera.</source>
        <translation>Не удалось создать виртуальную камеру.</translation>
    </message>
    <message>
        <source>Failed to load image.</source>
        <translation>Не удалось загрузить изображение.</translation>
    </message>
    <message>
        <source>Failed to open video.</source>
        <translation>Не удалось открыть видео.</translation>
    </message>
    <message>
        <source>Failed.</source>
        <translation>Ошибка.</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Изображение</translation>
    </message>
    <message>
        <source>Image loaded. Press Play to stream.</source>
        <translation>Изображение загружено. Нажмите «Воспроизвести», чтобы начать трансляцию.</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Загрузка…</translation>
    </message>
    <message>
        <source>Loop</source>
        <translation>Повтор</translation>
    </message>
    <message>
        <source>Minimize to tray on close</source>
        <translation>Сворачивать в трей при закрытии</translation>
    </message>
    <message>
        <source>Mirror</source>
        <translation>Зеркально</translation>
    </message>
    <message>
        <source>No file selected</source>
        <translation>Файл не выбран</translation>
    </message>
    <message>
        <source>Not registered</source>
        <translation>Не включена</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Открыть файл</translation>
    </message>
    <message>
        <source>Open a file first.</source>
        <translation>Сначала откройте файл.</translation>
    </message>
    <message>
        <source>Open media...</source>
        <translation>Открыть медиафайл…</translation>
    </message>
    <message>
        <source>Orvenna %1 is available.</source>
        <translation>Доступна версия Orvenna %1.</translation>
    </message>
    <message>
        <source>Orvenna - Connected</source>
        <translation>Orvenna - Подключено</translation>
    </message>
    <message>
        <source>Orvenna - Streaming</source>
        <translation>Orvenna - Идёт трансляция</translation>
    </message>
    <message>
        <source>Orvenna is free for personal use. For commercial use or redistribution, please ask for a license at %1.</source>
        <translation>Orvenna бесплатна для личного использования. Для коммерческого использования или распространения запросите лицензию на %1.</translation>
    </message>
    <message>
        <source>Orvenna v%1</source>
        <translation>Orvenna v%1</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Пауза</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>Приостановлено</translation>
    </message>
    <message>
        <source>Paused.</source>
        <translation>Приостановлено.</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Воспроизвести</translation>
    </message>
    <message>
        <source>Playback finished.</source>
        <translation>Воспроизведение завершено.</translation>
    </message>
    <message>
        <source>Playing</source>
        <translation>Воспроизведение</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Выход</translation>
    </message>
    <message>
        <source>Ready.</source>
        <translation>Готово.</translation>
    </message>
    <message>
        <source>Register the camera first.</source>
        <translation>Сначала включите камеру.</translation>
    </message>
    <message>
        <source>Registered</source>
        <translation>Включена</translation>
    </message>
    <message>
        <source>Registering...</source>
        <translation>Включение…</translation>
    </message>
    <message>
        <source>Registration failed.</source>
        <translation>Не удалось включить камеру.</translation>
    </message>
    <message>
        <source>Resolution:</source>
        <translation>Разрешение:</translation>
    </message>
    <message>
        <source>Resuming...</source>
        <translation>Возобновление…</translation>
    </message>
    <message>
        <source>Send anonymous usage statistics</source>
        <translation>Отправлять анонимную статистику использования</translation>
    </message>
    <message>
        <source>Send sound as a microphone</source>
        <translation>Передавать звук как микрофон</translation>
    </message>
    <message>
        <source>Show Orvenna</source>
        <translation>Показать Orvenna</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Источник</translation>
    </message>
    <message>
        <source>Status:</source>
        <translation>Состояние:</translation>
    </message>
    <message>
        <source>Stopped.</source>
        <translation>Остановлено.</translation>
    </message>
    <message>
        <source>Stream any video or image as a webcam in Zoom, Teams, Skype, Telegram and any app that uses a camera.</source>
        <translation>Транслируйте любое видео или изображение как веб-камеру в Zoom, Teams, Skype, Telegram и любое приложение, которое использует камеру.</translation>
    </message>
    <message>
        <source>Streaming...</source>
        <translation>Идёт трансляция…</translation>
    </message>
    <message>
        <source>Stretch</source>
        <translation>Растянуть</translation>
    </message>
    <message>
        <source>Unregistering...</source>
        <translation>Отключение…</translation>
    </message>
    <message>
        <source>Video loaded. Press Play to stream.</source>
        <translation>Видео загружено. Нажмите «Воспроизвести», чтобы начать трансляцию.</translation>
    </message>
    <message>
        <source>Virtual Camera</source>
        <translation>Виртуальная камера</translation>
    </message>
    <message>
        <source>Virtual camera for Linux</source>
        <translation>Виртуальная камера для Linux</translation>
    </message>
    <message>
        <source>Virtual camera for Windows</source>
        <translation>Виртуальная камера для Windows</translation>
    </message>
    <message>
        <source>Waiting for app...</source>
        <translation>Ожидание приложения…</translation>
    </message>
    <message>
        <source>libsoftcam.so not found. Place it next to orvenna</source>
        <translation>Не найден файл libsoftcam.so. Поместите его рядом с orvenna</translation>
    </message>
    <message>
        <source>softcam.dll not found. Place it next to Orvenna.exe</source>
        <translation>Не найден файл softcam.dll. Поместите его рядом с Orvenna.exe</translation>
    </message>
    <message>
        <source>PipeWire</source>
        <translation>PipeWire</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1: %2</source>
        <translation>Не удалось сохранить настройки в %1: %2</translation>
    </message>
    <message>
        <source>the file cannot be written</source>
        <translation>файл недоступен для записи</translation>
    </message>
    <message>
        <source>Settings not saved</source>
        <translation>Настройки не сохранены</translation>
    </message>
    <message>
        <source>Programs that use PipeWire cameras see %1.</source>
        <translation>Программы, использующие камеры PipeWire, видят %1.</translation>
    </message>
    <message>
        <source>Register adds it for programs that only open /dev/video*.</source>
        <translation>«Включить» добавляет её для программ, которые открывают только /dev/video*.</translation>
    </message>
</context>
</TS>
