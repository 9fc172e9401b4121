#pragma once

#include "camera/frame_sender.h"
#include "media/video_decoder.h"
#include "ui/media_loader.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QSystemTrayIcon>

#include <memory>
#include <string>

class CameraRegistrar;
class ClickableSlider;
class PreviewWidget;
class UpdateChecker;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QMenu;
class QPushButton;
class QSettings;
class QTimer;
class QTranslator;

// Seconds as "minutes:seconds" with two-digit seconds and no hours field
// (3725 gives "62:05"); negative or out-of-range values give "0:00".
QString formatTime(double seconds);

// The program's only top-level window and the owner of its run-time state:
// the media loader, the loaded media (its preview and, for a video, the open
// decoder) and the frame sender that serve the stream, the settings, and every
// widget, menu and action. GUI thread only, but for the loading thread of
// m_loader and the camera thread of m_sender. The member functions are spread
// over one file per concern (main_window_*.cpp).
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window hidden; the caller shows it.
    explicit MainWindow(QWidget* parent = nullptr);
    // The same, keeping its settings in `settingsFile` instead of orvenna.ini
    // at its usual place (settings_location.h).
    explicit MainWindow(const QString& settingsFile, QWidget* parent = nullptr);
    // Ends the stream and releases the camera and the decoder before any
    // member goes, so the camera thread never outlives what it reads; a load
    // still running is stopped and waited for.
    ~MainWindow() override;

    // Shows the window, lifts it out of the minimised state (a maximised
    // window stays maximised) and brings it to the front: the answer to a
    // second start of the program.
    void bringToFront();
    // Opens the first of `files` as if it had been dropped on the window (a
    // file named at start or by a second start); an empty list does nothing.
    void openFiles(const QStringList& files);

public slots:
    void onOpenFile();
    // Reached by the Space shortcut through its slot signature.
    void onPlayPause();
    void onStop();
    void unloadMedia();
    void onRegister();
    void onUnregister();
    void onTimerTick();
    // A stream ended by itself: stop, and say so.
    void onPlaybackFinished();
    // Invoked by name, queued, with the id of the stream that ended by
    // itself; a stream replaced meanwhile (Play pressed again just as a clip
    // ended) reports nothing that is still true.
    void onStreamEnded(quint64 stream);
    void onTrayActivated(QSystemTrayIcon::ActivationReason reason);
    void onQuit();

protected:
    // Keeps the minimum size at what the layout needs (main_window.cpp).
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif
    void changeEvent(QEvent* event) override;
    // Watches the seek slider and each write of the settings object.
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Text and control state (main_window_state.cpp).
    void retranslateUi();
    void updateControls();

    // Tray and closing (main_window_tray.cpp).
    void setupTrayIcon();
    // Shows, restores and raises the window: double click and "Show Orvenna".
    void showFromTray();
    void quitFromTray();
    // The last steps of every quit: stream, camera, decoder, tray icon.
    void releaseForQuit();
    // Whether the desktop shows tray icons now; tests stand in for it.
    virtual bool trayAvailable() const;
    // About dialog (main_window_about.cpp).
    void showAbout();

    // Media loading (main_window_media.cpp).
    // Starts loading `path` on the loading thread, dropping what was loaded
    // or loading; the window says so and waits for onMediaLoaded.
    void loadFile(const QString& path);
    bool isVideoFile(const QString& path);
    // The end of the latest load: shows its preview, or the failure.
    void onMediaLoaded(const std::shared_ptr<LoadedMedia>& media);
    // Streaming control (main_window_streaming.cpp).
    bool initCamera();
    void getSelectedResolution(int& width, int& height);
    // Seek slider (main_window_seek.cpp).
    void onSeekReleased();
    void onSeekValueChanged(int value);
    // Ends a slider drag whose release will never come (hidden, disabled).
    void endCutOffDrag(QEvent* event);

    // Settings (main_window_settings.cpp).
    void loadSettings();
    void saveSettings();
    // Writes what the settings hold now; a failure shows on the status line
    // with the file and the reason. False when it failed.
    bool writeSettings();
    // saveSettings() and writeSettings() on the way out; a failure is also
    // told in a message box when `mayAsk`.
    void saveSettingsForQuit(bool mayAsk);

    // Languages (main_window_languages.cpp).
    void applyLanguage(const QString& lang);
    QString systemLanguage() const;

    // Update check and banner (main_window_update.cpp).
    void checkForUpdates();
    void showUpdateBanner(const QString& version, const QString& url);

    QPushButton* m_openButton = nullptr;
    QLabel* m_fileLabel = nullptr;
    QAction* m_closeMediaAction = nullptr;
    PreviewWidget* m_preview = nullptr;
    ClickableSlider* m_seekSlider = nullptr;
    QLabel* m_timeLabel = nullptr;
    QComboBox* m_resolutionCombo = nullptr;
    QCheckBox* m_loopCheck = nullptr;
    QCheckBox* m_stretchCheck = nullptr;
    QCheckBox* m_mirrorCheck = nullptr;
    QPushButton* m_playButton = nullptr;
    QPushButton* m_stopButton = nullptr;
    QPushButton* m_registerButton = nullptr;
    QPushButton* m_unregisterButton = nullptr;
    QLabel* m_registrationLabel = nullptr;
    QLabel* m_statusLabel = nullptr;
    QLabel* m_connectionLabel = nullptr;
    QTimer* m_statusTimer = nullptr;
    QSystemTrayIcon* m_trayIcon = nullptr;
    QMenu* m_trayMenu = nullptr;
    QAction* m_trayPlayAction = nullptr;
    QAction* m_trayStopAction = nullptr;
    bool m_quitting = false;
    QSettings* m_settings = nullptr;
    QAction* m_minimizeToTrayAction = nullptr;
    QAction* m_sendSoundAction = nullptr;  // null where the camera library has no microphone (Windows)
    QAction* m_analyticsAction = nullptr;
    UpdateChecker* m_updateChecker = nullptr;
    QFrame* m_updateBanner = nullptr;
    QLabel* m_updateLabel = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_settingsMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    QMenu* m_languageMenu = nullptr;
    QAction* m_openAction = nullptr;
    QAction* m_quitAction = nullptr;
    QAction* m_aboutAction = nullptr;
    QAction* m_autoLanguageAction = nullptr;
    QAction* m_trayShowAction = nullptr;
    QAction* m_trayOpenAction = nullptr;
    QAction* m_trayQuitAction = nullptr;
    QGroupBox* m_sourceGroup = nullptr;
    QGroupBox* m_cameraGroup = nullptr;
    QLabel* m_resolutionLabel = nullptr;
    QLabel* m_statusCaptionLabel = nullptr;
    QTranslator* m_appTranslator = nullptr;
    QTranslator* m_qtTranslator = nullptr;
    // Makes the camera known to the system; its state is asked afresh on
    // every refresh, never cached here.
    CameraRegistrar* m_registrar = nullptr;

    // Declared in this order so that the loader goes first (its thread
    // stopped), then the sender, then the decoder.
    std::unique_ptr<VideoDecoder> m_decoder;  // open while a video is loaded
    FrameSender m_sender;
    MediaLoader m_loader;

    QString m_currentFile;  // loaded or loading (m_loader busy); empty: neither
    bool m_isVideo = false;
    bool m_playWhenLoaded = false;  // the load replaced a playing stream
    std::shared_ptr<const Picture> m_stillPicture;  // the still preview; null when nothing is loaded
    bool m_sliderDragging = false;
    double m_pendingSeek = -1.0;  // seconds; -1.0: no seek target
    double m_duration = 0.0;      // seconds, of the loaded video
    int m_pendingSeekTicks = 0;   // unpaused status ticks since m_pendingSeek was set

private:
    void buildMenus();
    void buildLanguageMenu();  // main_window_languages.cpp
    void buildCentralWidget();
    QFrame* buildUpdateBanner();
    QHBoxLayout* buildTransportRow();
    QGroupBox* buildSourceGroup();
    QGroupBox* buildCameraGroup();
    void buildStatusBar();
    // The layout's minimum, never below 580 x 480.
    void fitMinimumSize();
    void connectControls();
    // Starts registering or unregistering; the outcome arrives later.
    void startRegistration(bool unregister);
    // Back to nothing loaded: state, decoder, preview, labels and slider. The
    // stream is stopped first.
    void clearMedia();
    // Sets the pending seek target and, while streaming, seeks there.
    void requestSeek(double seconds);
    // The file whose sound goes with the stream as a microphone: the loaded
    // video when "Send sound as a microphone" is on, else none (empty).
    std::wstring soundSource() const;
    // The loaded video's duration, else the running stream's; 0 when unknown.
    double knownDuration() const;
    // A status tick's slider and time label for a video of `duration` s.
    void followPlayback(double position, double duration, bool paused);
    // Sets the tray's icon and tool tip when the tool tip changes.
    void showTrayState(const QString& iconPath, const QString& toolTip);
};
