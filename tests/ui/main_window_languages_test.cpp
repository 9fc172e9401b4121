// Languages on the real catalogues compiled into the program, and the About
// dialog. The system locale is read once per process, so each locale case
// runs in a child process started with that locale.
#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTimer>
#include <QTranslator>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

// Failures show the words, not their bytes.
static void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

class LanguageWindow : public MainWindow {
public:
    using MainWindow::applyLanguage, MainWindow::m_cameraGroup, MainWindow::m_fileMenu, MainWindow::m_languageMenu,
        MainWindow::m_playButton, MainWindow::m_registerButton, MainWindow::m_settings, MainWindow::m_sourceGroup,
        MainWindow::m_trayShowAction, MainWindow::m_trayStopAction, MainWindow::showAbout, MainWindow::systemLanguage;
};

std::unique_ptr<LanguageWindow> makeWindow(const QString& storedLanguage)
{
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/orvenna.ini");
    QFile::remove(path);
    QSettings(path, QSettings::IniFormat).setValue(QStringLiteral("language"), storedLanguage);
    return std::make_unique<LanguageWindow>();
}

// The toolkit's own word for its Close button, as the installed translators give it.
QString toolkitClose()
{
    return QCoreApplication::translate("QPlatformTheme", "Close");
}

QString catalogueWord(const QString& catalogue, const char* context, const char* source)
{
    QTranslator translator;
    return translator.load(catalogue) ? translator.translate(context, source) : QStringLiteral("(no %1)").arg(catalogue);
}

// In a child process: a window on the stored "auto" reports its language,
// its File menu, the toolkit's Close and the stored setting; exits with 0 when
// they are the expected ones.
[[noreturn]] void exitWithWhatAutoGives(const QStringList& expected)
{
    auto window = makeWindow(QStringLiteral("auto"));
    const QStringList seen = {window->systemLanguage(), window->m_fileMenu->title(), toolkitClose(),
                              window->m_settings->value(QStringLiteral("language")).toString()};
    window.reset();
    fprintf(stderr, "%s\n", qPrintable(seen.join(u'|')));
    std::exit(seen == expected ? 0 : 1);
}

// source -> translation. Unless all are wanted (lupdate's fresh output is all
// unfinished), unfinished, vanished or obsolete ones count as missing.
using Catalogue = std::map<QString, QString>;

std::map<QString, Catalogue> readTs(const QString& path, bool all = false)  // by context
{
    std::map<QString, Catalogue> contexts;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QXmlStreamReader xml(&file);
    QString context, source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"name")
            context = xml.readElementText();
        else if (xml.name() == u"source")
            source = xml.readElementText();
        else if (xml.name() == u"translation" && (all || xml.attributes().value(QStringLiteral("type")).isEmpty()))
            contexts[context][source] = xml.readElementText();
    }
    EXPECT_FALSE(xml.hasError()) << path.toStdString() << ": " << xml.errorString().toStdString();
    return contexts;
}

// The conventions every translation keeps; an empty result means none broken.
QString broken(const QString& source, const QString& text, const QString& code)
{
    static const QRegularExpression placeholder(QStringLiteral("%[1-9]"));
    static const QRegularExpression patterns(QStringLiteral("\\([^()]*\\*[^()]*\\)"));
    const auto all = [](const QRegularExpression& re, const QString& s) {
        QStringList found;
        for (const auto& match : re.globalMatch(s))
            found << match.captured();
        found.sort();
        return found;
    };
    if (text.isEmpty())
        return QStringLiteral("empty");
    if (source.startsWith(u' ') != text.startsWith(u' '))
        return QStringLiteral("leading blank");
    if (text.contains(QStringLiteral("...")) || (source.endsWith(QStringLiteral("...")) && !text.endsWith(u'…')))
        return QStringLiteral("ellipsis");
    if (all(placeholder, source) != all(placeholder, text) || all(patterns, source) != all(patterns, text))
        return QStringLiteral("placeholders or file patterns");
    const qsizetype amp = source.indexOf(u'&');
    if (amp >= 0) {
        if (code == u"zh_CN" || code == u"ja") {
            const QString suffix = QStringLiteral("(&%1)").arg(source.at(amp + 1).toUpper());
            if (!QRegularExpression(QRegularExpression::escape(suffix) + QStringLiteral("…?$")).match(text).hasMatch())
                return QStringLiteral("mnemonic suffix");
        } else if (text.count(u'&') != 1 || !text.at(text.indexOf(u'&') + 1).isLetter()) {
            return QStringLiteral("mnemonic");
        }
    }
    return {};
}

} // namespace

TEST(LanguagesTest, SystemLocalePicksTheCatalogues)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // the child starts afresh with the locale below
    const struct {
        const char* locale;
        const char* language;
        const char* fileMenu;
        const char* toolkit;  // catalogue of the toolkit's words, "" for none
    } cases[] = {
        {"de_DE", "de", "&Datei", ":/i18n/qtbase_de.qm"},
        {"pt_BR", "pt", "&Arquivo", ":/i18n/qtbase_pt_BR.qm"},
        {"zh_TW", "zh_CN", "文件(&F)", ":/i18n/qtbase_zh_CN.qm"},
        {"en_US", "en", "&File", ""},
        {"nl_NL", "en", "&File", ""},
    };
    const QByteArray savedLocale = qgetenv("LC_ALL");
    qunsetenv("LANGUAGE");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        const QString close = *c.toolkit ? catalogueWord(QString::fromLatin1(c.toolkit), "QPlatformTheme", "Close")
                                         : QStringLiteral("Close");
        qputenv("LC_ALL", QByteArray(c.locale) + ".UTF-8");
        const QStringList expected = {QString::fromUtf8(c.language), QString::fromUtf8(c.fileMenu), close,
                                      QStringLiteral("auto")};
        EXPECT_EXIT(exitWithWhatAutoGives(expected), ::testing::ExitedWithCode(0), "");
    }
    qputenv("LC_ALL", savedLocale);
}

// German -> English -> Japanese from the menu: every text follows at once,
// the toolkit's words too, and the language names stay native.
TEST(LanguagesTest, SwitchRetranslatesTheWindowAtOnce)
{
    auto window = makeWindow(QStringLiteral("de"));
    const auto entry = [&](const char* code) {
        for (QAction* action : window->m_languageMenu->actions()) {
            if (action->data().toString() == QLatin1String(code))
                return action;
        }
        return static_cast<QAction*>(nullptr);
    };
    const struct {
        const char* code;
        const char *file, *play, *reg, *source, *camera, *autoEntry, *trayShow, *toolkit;
    } cases[] = {
        {"de", "&Datei", " Wiedergabe", " Aktivieren", "Quelle", "Virtuelle Kamera", "Automatisch (System)",
         "Orvenna anzeigen", ":/i18n/qtbase_de.qm"},
        {"en", "&File", " Play", " Register", "Source", "Virtual Camera", "Auto (system)", "Show Orvenna", ""},
        {"ja", "ファイル(&F)", " 再生", " 有効化", "ソース", "仮想カメラ", "自動（システム）", "Orvenna を表示",
         ":/i18n/qtbase_ja.qm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        if (QLatin1String(c.code) != "de")  // German comes from the stored setting
            entry(c.code)->trigger();
        EXPECT_EQ(window->m_settings->value(QStringLiteral("language")).toString(), c.code);
        EXPECT_EQ(window->m_fileMenu->title(), QString::fromUtf8(c.file));
        EXPECT_EQ(window->m_playButton->text(), QString::fromUtf8(c.play));
        EXPECT_EQ(window->m_registerButton->text(), QString::fromUtf8(c.reg));
        EXPECT_EQ(window->m_sourceGroup->title(), QString::fromUtf8(c.source));
        EXPECT_EQ(window->m_cameraGroup->title(), QString::fromUtf8(c.camera));
        EXPECT_EQ(entry("auto")->text(), QString::fromUtf8(c.autoEntry));
        EXPECT_EQ(entry("de")->text(), "Deutsch");
        EXPECT_EQ(entry("ja")->text(), QStringLiteral("日本語"));
        EXPECT_EQ(toolkitClose(), *c.toolkit ? catalogueWord(QString::fromLatin1(c.toolkit), "QPlatformTheme", "Close")
                                             : QStringLiteral("Close"));
        if (window->m_trayShowAction) {  // where the desktop offers a tray
            EXPECT_EQ(window->m_trayShowAction->text(), QString::fromUtf8(c.trayShow));
            EXPECT_EQ(window->m_trayStopAction->text(), "Stop");
        }
    }
    entry("auto")->trigger();
    EXPECT_EQ(window->m_settings->value(QStringLiteral("language")).toString(), "auto");
    window->applyLanguage(QStringLiteral("xx"));  // from an edited file: English, no catalogue
    EXPECT_EQ(window->m_playButton->text(), " Play");
    window->applyLanguage(QStringLiteral("en"));
}

// Every text the code passes through tr() (as lupdate finds them in the
// sources at build time) has a finished translation in every catalogue, in
// the .ts files and in the compiled catalogues, and keeps the conventions.
TEST(LanguagesTest, CataloguesTranslateEveryTextOfTheCode)
{
    const std::map<QString, Catalogue> code = readTs(QStringLiteral(ORVENNA_CODE_TEXTS), true);
    ASSERT_EQ(code.size(), 1u);
    const Catalogue& texts = code.begin()->second;
    ASSERT_EQ(code.begin()->first, "MainWindow");
    ASSERT_TRUE(texts.count(QStringLiteral(" Play")) && texts.count(QStringLiteral("&File"))) << texts.size();

    for (const char* language : {"fr", "es", "de", "it", "pt", "ru", "zh_CN", "ja"}) {
        const QString codeName = QString::fromLatin1(language);
        SCOPED_TRACE(language);
        std::map<QString, Catalogue> catalogue =
            readTs(QStringLiteral(ORVENNA_I18N_DIR "/orvenna_%1.ts").arg(codeName));
        ASSERT_EQ(catalogue.size(), 1u);
        Catalogue& translations = catalogue[QStringLiteral("MainWindow")];
        QTranslator compiled;
        ASSERT_TRUE(compiled.load(QStringLiteral(":/i18n/orvenna_%1.qm").arg(codeName)));
        for (const auto& [source, ignored] : texts) {
            EXPECT_TRUE(translations.count(source)) << "missing: " << source.toStdString();
            EXPECT_EQ(compiled.translate("MainWindow", source.toUtf8().constData()), translations[source])
                << source.toStdString();
        }
        for (const auto& [source, text] : translations)
            EXPECT_EQ(broken(source, text, codeName), QString()) << source.toStdString() << " -> " << text.toStdString();
    }
}

TEST(LanguagesTest, AboutDialogFollowsTheLanguage)
{
    const QString version = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationVersion(QStringLiteral("1.1"));
    auto window = makeWindow(QStringLiteral("en"));
    const std::pair<const char*, QStringList> cases[] = {
        {"en", {"About Orvenna", "Virtual camera for Linux", "Built with Qt %1 · softcam (MIT license)"}},
        {"de", {"Über Orvenna", "Virtuelle Kamera für Linux", "Erstellt mit Qt %1 · softcam (MIT-Lizenz)"}},
    };
    for (const auto& [language, expected] : cases) {
        SCOPED_TRACE(language);
        window->applyLanguage(QString::fromLatin1(language));
        bool seen = false;
        QTimer::singleShot(0, window.get(), [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            seen = true;
            EXPECT_EQ(dialog->minimumWidth(), 460);
            EXPECT_EQ(dialog->maximumWidth(), 460);
            EXPECT_EQ(dialog->windowTitle(), expected[0]);
            QStringList labels;
            for (QLabel* label : dialog->findChildren<QLabel*>()) {
                labels << label->text();
                if (label->openExternalLinks()) {  // its link is drawn (underlined) in the link colour
                    const QImage image = label->grab().toImage();
                    bool linkColour = false;
                    for (int y = 0; y < image.height() && !linkColour; ++y) {
                        for (int x = 0; x < image.width() && !linkColour; ++x)
                            linkColour = image.pixelColor(x, y) == QColor(0x2D7FF9);
                    }
                    EXPECT_TRUE(linkColour) << label->text().toStdString();
                }
            }
            EXPECT_TRUE(labels.contains("Orvenna 1.1"));  // never translated
            EXPECT_TRUE(labels.contains(expected[1]));
            EXPECT_TRUE(labels.contains(expected[2].arg(QLatin1String(qVersion()))));  // the Qt it runs with
            EXPECT_EQ(labels.filter(QStringLiteral("href='https://orvenna.example/contact?subject=license'")).size(), 1);
            dialog->reject();
        });
        window->showAbout();
        EXPECT_TRUE(seen);
    }
    window->applyLanguage(QStringLiteral("en"));
    QCoreApplication::setApplicationVersion(version);
}
