// Construction of the main window: members, menus, widget tree, style
// sheets, connections, the Space shortcut, the status timer and the start-up
// calls, in that order.
#include "ui/main_window.h"

#include "ui/camera_registrar.h"
#include "ui/clickable_slider.h"
#include "ui/preview_widget.h"
#include "ui/settings_keys.h"
#include "ui/settings_location.h"
#include "update/update_checker.h"

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

namespace {

const char* const kWindowStyle = R"(
QMenuBar { background: palette(window); border: none; }
QMenuBar::item { background: transparent; padding: 4px 10px; }
QMenuBar::item:selected { background: palette(midlight); border-radius: 4px; }
QMenuBar::item:pressed { background: palette(mid); border-radius: 4px; }
QPushButton { padding: 6px 14px; icon-size: 16px; }
QGroupBox { font-weight: bold; padding-top: 16px; margin-top: 8px; }
QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 6px; }
QComboBox { padding: 4px 8px; combobox-popup: 0; }
QCheckBox { spacing: 5px; }
)";

const char* const kBannerStyle =
    "#updateBanner { background:#2D7FF9; border-radius:6px; }"
    "#updateBanner QLabel { color:#fff; }"
    "#updateBanner QToolButton { color:#fff; border:none; font-weight:bold; padding:0 6px; }";

const char* const kStatusBarStyle =
    "QStatusBar { background: #f0f0f0; border-top: 1px solid #ccc; padding: 4px 8px; }"
    "QStatusBar::item { border: none; }"
    "QLabel { padding: 2px 6px; }";

// The window is never smaller, and larger where its texts need it.
constexpr QSize kMinimumSize(580, 480);

QPushButton* iconButton(const char* iconPath, QWidget* parent)
{
    return new QPushButton(QIcon(QString::fromLatin1(iconPath)), QString(), parent);
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : MainWindow(settingsFilePath(), parent)
{
}

MainWindow::MainWindow(const QString& settingsFile, QWidget* parent)
    : QMainWindow(parent)
{
    m_settings = new QSettings(settingsFile, QSettings::IniFormat, this);
    // It writes its changes a moment after they are made: each time, the
    // window checks that they arrived (eventFilter).
    m_settings->installEventFilter(this);
    m_registrar = new CameraRegistrar(this);

    // The title and every other text that retranslateUi() sets are left to
    // it: the language start-up call below runs it before this returns.
    setAcceptDrops(true);
    setWindowIcon(QIcon(QStringLiteral(":/icons/orvenna.svg")));
    setStyleSheet(QString::fromLatin1(kWindowStyle));

    buildMenus();
    buildCentralWidget();
    buildStatusBar();
    connectControls();

    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), this);
    space->setContext(Qt::WindowShortcut);
    connect(space, SIGNAL(activated()), this, SLOT(onPlayPause()));

    m_statusTimer = new QTimer(this);
    connect(m_statusTimer, &QTimer::timeout, this, &MainWindow::onTimerTick);
    m_statusTimer->start(200);

    setupTrayIcon();
    // A session that ends (log out, shut down) may find the window hidden in
    // the tray, where no close saves anything.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { saveSettingsForQuit(false); });
    applyLanguage(m_settings->value(settings_key::language, QStringLiteral("auto")).toString());
    fitMinimumSize();  // before a stored geometry is restored
    if (!initCamera()) {
#ifdef Q_OS_WIN
        m_statusLabel->setText(tr("softcam.dll not found. Place it next to Orvenna.exe"));
#else
        m_statusLabel->setText(tr("libsoftcam.so not found. Place it next to orvenna"));
#endif
        // Also for whoever started the program from a terminal or a script.
        qWarning("%s", qUtf8Printable(m_statusLabel->text()));
    }
    loadSettings();
    m_updateChecker = new UpdateChecker(this);
    connect(m_updateChecker, &UpdateChecker::updateAvailable, this, &MainWindow::showUpdateBanner);
    checkForUpdates();
}

bool MainWindow::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    // Each change of a text (a language, Play and Pause, the registration)
    // asks for a new layout.
    if (event->type() == QEvent::LayoutRequest)
        fitMinimumSize();
    return handled;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_seekSlider)
        endCutOffDrag(event);
    // The settings object is about to write what changed.
    if (watched == m_settings && event->type() == QEvent::UpdateRequest)
        writeSettings();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::fitMinimumSize()
{
    // The smallest window still shows every text whole.
    ensurePolished();  // the style sheets take part in every size
    setMinimumSize(layout()->totalMinimumSize().expandedTo(kMinimumSize));
}

MainWindow::~MainWindow()
{
    m_sender.Stop();
    m_sender.ShutdownCamera();
    m_decoder.reset();
}

void MainWindow::bringToFront()
{
    show();
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
}

void MainWindow::buildMenus()
{
    m_fileMenu = menuBar()->addMenu(QString());
    m_settingsMenu = menuBar()->addMenu(QString());
    m_helpMenu = menuBar()->addMenu(QString());

    m_openAction = m_fileMenu->addAction(QString());
    m_openAction->setShortcuts(QKeySequence::Open);
    connect(m_openAction, &QAction::triggered, this, &MainWindow::onOpenFile);
    m_closeMediaAction = m_fileMenu->addAction(QString());
    m_closeMediaAction->setShortcuts(QKeySequence::Close);
    connect(m_closeMediaAction, &QAction::triggered, this, &MainWindow::unloadMedia);
    m_fileMenu->addSeparator();
    m_quitAction = m_fileMenu->addAction(QString());
    m_quitAction->setShortcuts(QKeySequence::Quit);
    connect(m_quitAction, &QAction::triggered, this, &MainWindow::onQuit);

    m_minimizeToTrayAction = m_settingsMenu->addAction(QString());
    m_minimizeToTrayAction->setCheckable(true);
    m_minimizeToTrayAction->setChecked(m_settings->value(settings_key::minimizeToTray, true).toBool());
    connect(m_minimizeToTrayAction, &QAction::toggled, this,
            [this](bool on) { m_settings->setValue(settings_key::minimizeToTray, on); });
#ifndef Q_OS_WIN
    // Only the Linux camera library brings a microphone.
    m_sendSoundAction = m_settingsMenu->addAction(QString());
    m_sendSoundAction->setCheckable(true);
    m_sendSoundAction->setChecked(m_settings->value(settings_key::sendSound, false).toBool());
    connect(m_sendSoundAction, &QAction::toggled, this, [this](bool on) {
        m_settings->setValue(settings_key::sendSound, on);
        m_sender.SetSoundSource(soundSource());  // a video streaming now gains or loses its sound
    });
#endif
    m_analyticsAction = m_settingsMenu->addAction(QString());
    m_analyticsAction->setCheckable(true);
    m_analyticsAction->setChecked(m_settings->value(settings_key::analyticsEnabled, true).toBool());
    connect(m_analyticsAction, &QAction::toggled, this,
            [this](bool on) { m_settings->setValue(settings_key::analyticsEnabled, on); });
    m_languageMenu = m_settingsMenu->addMenu(QString());
    buildLanguageMenu();

    m_aboutAction = m_helpMenu->addAction(QString());
    connect(m_aboutAction, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::buildCentralWidget()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* mainLayout = new QVBoxLayout(central);
    mainLayout->setContentsMargins(10, 6, 10, 6);
    mainLayout->setSpacing(6);

    mainLayout->addWidget(buildUpdateBanner(), 0);
    m_preview = new PreviewWidget(central);
    mainLayout->addWidget(m_preview, 1);
    mainLayout->addLayout(buildTransportRow());

    auto* bottomRow = new QHBoxLayout;
    bottomRow->setSpacing(10);
    bottomRow->addWidget(buildSourceGroup(), 1);
    bottomRow->addWidget(buildCameraGroup(), 0);
    mainLayout->addLayout(bottomRow);
}

QFrame* MainWindow::buildUpdateBanner()
{
    m_updateBanner = new QFrame(centralWidget());
    m_updateBanner->setObjectName(QStringLiteral("updateBanner"));
    m_updateBanner->setStyleSheet(QString::fromLatin1(kBannerStyle));
    auto* layout = new QHBoxLayout(m_updateBanner);
    layout->setContentsMargins(12, 6, 6, 6);
    m_updateLabel = new QLabel(m_updateBanner);
    m_updateLabel->setTextFormat(Qt::RichText);
    m_updateLabel->setOpenExternalLinks(true);
    m_updateLabel->setWordWrap(true);  // whole, however narrow the window
    layout->addWidget(m_updateLabel, 1);
    auto* closeButton = new QToolButton(m_updateBanner);
    closeButton->setText(QStringLiteral("\u2715"));
    layout->addWidget(closeButton, 0);
    connect(closeButton, &QToolButton::clicked, m_updateBanner, &QFrame::hide);
    m_updateBanner->hide();
    return m_updateBanner;
}

QHBoxLayout* MainWindow::buildTransportRow()
{
    QWidget* central = centralWidget();
    auto* row = new QHBoxLayout;
    row->setSpacing(6);

    m_playButton = iconButton(":/icons/play.svg", central);
    m_playButton->setMinimumWidth(90);
    QFont bold = m_playButton->font();
    bold.setWeight(QFont::Bold);
    m_playButton->setFont(bold);
    row->addWidget(m_playButton);

    m_stopButton = iconButton(":/icons/stop.svg", central);
    row->addWidget(m_stopButton);

    m_seekSlider = new ClickableSlider(Qt::Horizontal, central);
    m_seekSlider->setRange(0, 1000);
    m_seekSlider->setEnabled(false);
    m_seekSlider->setTracking(true);
    row->addWidget(m_seekSlider, 1);

    m_timeLabel = new QLabel(QStringLiteral("0:00 / 0:00"), central);
    m_timeLabel->setFixedWidth(90);
    m_timeLabel->setAlignment(Qt::AlignCenter);
    row->addWidget(m_timeLabel);
    return row;
}

QGroupBox* MainWindow::buildSourceGroup()
{
    m_sourceGroup = new QGroupBox(centralWidget());
    auto* layout = new QVBoxLayout(m_sourceGroup);
    layout->setSpacing(8);

    auto* fileRow = new QHBoxLayout;
    m_openButton = iconButton(":/icons/open.svg", m_sourceGroup);
    fileRow->addWidget(m_openButton);
    m_fileLabel = new QLabel(m_sourceGroup);
    // File names come from outside: never read as markup, and a long one
    // takes the room there is rather than widening the window.
    m_fileLabel->setTextFormat(Qt::PlainText);
    m_fileLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_fileLabel->setStyleSheet(QStringLiteral("color: #888;"));
    fileRow->addWidget(m_fileLabel, 1);
    layout->addLayout(fileRow);

    auto* resolutionRow = new QHBoxLayout;
    resolutionRow->setSpacing(10);
    m_resolutionLabel = new QLabel(m_sourceGroup);
    resolutionRow->addWidget(m_resolutionLabel);
    m_resolutionCombo = new QComboBox(m_sourceGroup);
    m_resolutionCombo->setEditable(true);
    m_resolutionCombo->addItems({QStringLiteral("640x480"), QStringLiteral("1280x720"),
                                 QStringLiteral("1920x1080"), QStringLiteral("3840x2160")});
    m_resolutionCombo->setCurrentIndex(1);
    m_resolutionCombo->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("\\d{2,5}x\\d{2,5}")), m_resolutionCombo));
    resolutionRow->addWidget(m_resolutionCombo);
    resolutionRow->addStretch();
    layout->addLayout(resolutionRow);

    // A row of their own: beside the resolution they would need a window
    // wider than 580 pixels in most languages.
    auto* switchRow = new QHBoxLayout;
    switchRow->setSpacing(10);
    m_loopCheck = new QCheckBox(m_sourceGroup);
    m_loopCheck->setChecked(true);
    switchRow->addWidget(m_loopCheck);
    m_stretchCheck = new QCheckBox(m_sourceGroup);
    switchRow->addWidget(m_stretchCheck);
    m_mirrorCheck = new QCheckBox(m_sourceGroup);
    switchRow->addWidget(m_mirrorCheck);
    switchRow->addStretch();
    layout->addLayout(switchRow);
    return m_sourceGroup;
}

QGroupBox* MainWindow::buildCameraGroup()
{
    m_cameraGroup = new QGroupBox(centralWidget());
    auto* layout = new QVBoxLayout(m_cameraGroup);
    layout->setSpacing(8);

    auto* buttonRow = new QHBoxLayout;
    m_registerButton = iconButton(":/icons/register.svg", m_cameraGroup);
    buttonRow->addWidget(m_registerButton);
    m_unregisterButton = iconButton(":/icons/unregister.svg", m_cameraGroup);
    buttonRow->addWidget(m_unregisterButton);
    buttonRow->addStretch();
    layout->addLayout(buttonRow);

    auto* statusRow = new QHBoxLayout;
    m_statusCaptionLabel = new QLabel(m_cameraGroup);
    statusRow->addWidget(m_statusCaptionLabel);
    m_registrationLabel = new QLabel(m_cameraGroup);
    m_registrationLabel->setTextFormat(Qt::RichText);
    statusRow->addWidget(m_registrationLabel);
    statusRow->addStretch();
    layout->addLayout(statusRow);
    return m_cameraGroup;
}

void MainWindow::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setStyleSheet(QString::fromLatin1(kStatusBarStyle));
    bar->setFixedHeight(28);
    // retranslateUi() leaves this label alone: it reads "Ready." in English
    // until the first status message replaces it.
    m_statusLabel = new QLabel(tr("Ready."), bar);
    // Messages vary in length: a long one must not widen the window.
    m_statusLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar->addWidget(m_statusLabel, 1);
    m_connectionLabel = new QLabel(bar);
    bar->addPermanentWidget(m_connectionLabel, 0);
}

void MainWindow::connectControls()
{
    connect(m_openButton, &QPushButton::clicked, this, &MainWindow::onOpenFile);
    connect(m_playButton, &QPushButton::clicked, this, &MainWindow::onPlayPause);
    connect(m_stopButton, &QPushButton::clicked, this, &MainWindow::onStop);
    connect(m_registerButton, &QPushButton::clicked, this, &MainWindow::onRegister);
    connect(m_unregisterButton, &QPushButton::clicked, this, &MainWindow::onUnregister);
    connect(&m_loader, &MediaLoader::loaded, this, &MainWindow::onMediaLoaded);
    // The sender's flags are atomics: a running stream takes them at its next frame.
    connect(m_loopCheck, &QCheckBox::toggled, this, [this](bool on) { m_sender.m_loop = on; });
    connect(m_stretchCheck, &QCheckBox::toggled, this, [this](bool on) {
        m_sender.m_stretch = on;
        m_preview->setStretch(on);
    });
    connect(m_mirrorCheck, &QCheckBox::toggled, this, [this](bool on) {
        m_sender.m_mirror = on;
        m_preview->setMirror(on);
    });
    connect(m_seekSlider, &ClickableSlider::sliderPressed, this, [this] { m_sliderDragging = true; });
    connect(m_seekSlider, &ClickableSlider::sliderReleased, this, [this] { onSeekReleased(); });
    connect(m_seekSlider, &ClickableSlider::valueChanged, this, [this](int value) { onSeekValueChanged(value); });
    m_seekSlider->installEventFilter(this);
}
