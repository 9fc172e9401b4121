// Languages on the catalogues compiled into the program, and the About dialog.
#include "window_under_test.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QRegularExpression>
#include <QTranslator>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>

namespace {

#ifdef _WIN32
#define SYSTEM_NAME "Windows"
#else
#define SYSTEM_NAME "Linux"
#endif

// The toolkit's word for Close: from `catalogue` ("" for none), or as the installed translators give it.
QString toolkitClose(const char* catalogue = nullptr)
{
    QTranslator translator;
    return !catalogue ? QCoreApplication::translate("QPlatformTheme", "Close")
           : !*catalogue ? QStringLiteral("Close")
           : translator.load(QString::fromLatin1(catalogue)) ? translator.translate("QPlatformTheme", "Close")
                                                             : QStringLiteral("no catalogue");
}

#ifndef _WIN32
// In a child process with the locale under test (read once per process):
// exits with 0 when a window on the stored "auto" shows what is expected.
[[noreturn]] void exitWithWhatAutoGives(const QStringList& expected)
{
    auto window = makeWindow(QStringLiteral("auto"));
    const QStringList seen = {window->systemLanguage(), window->m_fileMenu->title(), toolkitClose(),
                              window->m_settings->value(QStringLiteral("language")).toString()};
    window.reset();
    fprintf(stderr, "%s\n", qPrintable(seen.join(u'|'))), fflush(stderr);
    std::_Exit(seen == expected ? 0 : 1);  // no exit handlers: the leak check would count the application
}
#endif

// The About dialog's title and label texts, checking on the way what no language changes.
QStringList aboutTexts(WindowUnderTest& window)
{
    QStringList texts;
    QTimer::singleShot(0, &window, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(std::pair(dialog->minimumWidth(), dialog->maximumWidth()), std::pair(460, 460));
        texts << dialog->windowTitle();
        for (QLabel* label : dialog->findChildren<QLabel*>()) {
            texts << label->text();
            if (!label->openExternalLinks())
                continue;
            const QImage image = label->grab().toImage().convertToFormat(QImage::Format_RGB32);
            const auto* pixels = reinterpret_cast<const QRgb*>(image.constBits());  // drawn in the link colour
            EXPECT_TRUE(std::count(pixels, pixels + image.width() * image.height(), qRgb(0x2D, 0x7F, 0xF9)));
        }
        EXPECT_EQ(texts.filter(QStringLiteral("href='https://orvenna.example/contact?subject=license'")).size(), 1);
        dialog->reject();
    });
    window.showAbout();
    return texts;
}

// source -> translation, all in the context MainWindow; unfinished, vanished and
// obsolete ones count as missing unless `all` (lupdate's output is all unfinished).
std::map<QString, QString> readTs(const QString& path, bool all = false)
{
    std::map<QString, QString> texts;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QXmlStreamReader xml(&file);
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"name")
            EXPECT_EQ(xml.readElementText(), "MainWindow");
        else if (xml.name() == u"source")
            source = xml.readElementText();
        else if (xml.name() == u"translation" && (all || xml.attributes().value(QStringLiteral("type")).isEmpty()))
            texts[source] = xml.readElementText();
    }
    EXPECT_FALSE(xml.hasError()) << path.toStdString();
    return texts;
}

// The first convention a translation breaks; empty when it keeps them all.
QString broken(const QString& source, const QString& text, bool cjk)
{
    const auto all = [](const char* pattern, const QString& s) {  // placeholders, file patterns
        QStringList found;
        for (const auto& match : QRegularExpression(QString::fromLatin1(pattern)).globalMatch(s))
            found << match.captured();
        return found.join(u' ');
    };
    const qsizetype amp = source.indexOf(u'&');
    const QString cjkSuffix = QStringLiteral("(&%1)").arg(source.mid(amp + 1, 1).toUpper());
    if (text.isEmpty())
        return QStringLiteral("empty");
    if (source.startsWith(u' ') != text.startsWith(u' '))
        return QStringLiteral("leading blank");
    if (text.contains(QStringLiteral("...")) || (source.endsWith(QStringLiteral("...")) && !text.endsWith(u'…')))
        return QStringLiteral("ellipsis");
    if (all("%\\d|\\([^()]*\\*[^()]*\\)", source) != all("%\\d|\\([^()]*\\*[^()]*\\)", text))
        return QStringLiteral("placeholders or file patterns");
    if (amp >= 0 && cjk && !(text.endsWith(cjkSuffix) || text.endsWith(cjkSuffix + u'…')))
        return QStringLiteral("mnemonic suffix");
    if (amp >= 0 && !cjk && (text.count(u'&') != 1 || !text.at(text.indexOf(u'&') + 1).isLetter()))
        return QStringLiteral("mnemonic");
    return {};
}

} // namespace

#ifndef _WIN32  // Windows takes the language from its own settings, not from the environment
TEST(LanguagesTest, SystemLocalePicksTheCatalogues)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process that reads the locale below
    const struct {
        const char *locale, *language, *fileMenu, *toolkit;  // toolkit catalogue, "" for none
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
        qputenv("LC_ALL", QByteArray(c.locale) + ".UTF-8");
        EXPECT_EXIT(exitWithWhatAutoGives({c.language, QString::fromUtf8(c.fileMenu), toolkitClose(c.toolkit), "auto"}),
                    ::testing::ExitedWithCode(0), "") << c.locale;
    }
    qputenv("LC_ALL", savedLocale);
}
#endif

// German (stored) -> English -> Japanese from the menu: every text follows at once, the
// toolkit's and the About dialog's too; the language names and the program's name stay.
TEST(LanguagesTest, SwitchRetranslatesTheWindowAtOnce)
{
    const QString version = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationVersion(QStringLiteral("1.1"));
    auto window = makeWindow(QStringLiteral("de"));
    std::map<QString, QAction*> entries;
    for (QAction* action : window->m_languageMenu->actions())
        entries[action->data().toString()] = action;
    const struct {
        const char *code, *file, *play, *reg, *camera, *autoEntry, *trayShow, *toolkit, *about[3];
    } cases[] = {
        {"de", "&Datei", " Wiedergabe", " Aktivieren", "Virtuelle Kamera", "Automatisch (System)", "Orvenna anzeigen",
         ":/i18n/qtbase_de.qm", {"Über Orvenna", "Virtuelle Kamera für " SYSTEM_NAME, "Erstellt mit Qt %1 · softcam (MIT-Lizenz)"}},
        {"en", "&File", " Play", " Register", "Virtual Camera", "Auto (system)", "Show Orvenna", "",
         {"About Orvenna", "Virtual camera for " SYSTEM_NAME, "Built with Qt %1 · softcam (MIT license)"}},
        {"ja", "ファイル(&F)", " 再生", " 有効化", "仮想カメラ", "自動（システム）", "Orvenna を表示", ":/i18n/qtbase_ja.qm",
         {"Orvenna について", SYSTEM_NAME " 用仮想カメラ", "Qt %1 で構築 · softcam（MIT ライセンス）"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        if (QLatin1String(c.code) != "de")
            entries[c.code]->trigger();
        const QStringList seen = {window->m_settings->value(QStringLiteral("language")).toString(),
                                  window->m_fileMenu->title(),      window->m_playButton->text(),
                                  window->m_registerButton->text(), window->m_cameraGroup->title(),
                                  entries["auto"]->text(),          entries["ja"]->text(),
                                  toolkitClose(),                   window->m_trayShowAction->text()};
        EXPECT_EQ(seen, QStringList({c.code, c.file, c.play, c.reg, c.camera, c.autoEntry, "日本語",
                                     toolkitClose(c.toolkit), c.trayShow}));
        const QStringList about = aboutTexts(*window);
        EXPECT_EQ(about.value(0), QString::fromUtf8(c.about[0]));
        for (const QString text : {c.about[1], c.about[2], "Orvenna 1.1"})  // with the Qt it runs on
            EXPECT_TRUE(about.contains(QString(text).replace("%1", qVersion()))) << text.toStdString();
    }
    QCoreApplication::setApplicationVersion(version);
    entries["auto"]->trigger();
    EXPECT_EQ(window->m_settings->value(QStringLiteral("language")).toString(), "auto");
    window->applyLanguage(QStringLiteral("xx"));  // from an edited file: no catalogue, English
    EXPECT_EQ(window->m_playButton->text(), " Play");
}

// In every language the smallest window the layout allows (never below 580 x 480) shows every
// label, check box and button whole, and the whole resolution; so after Play's face changes.
TEST(LanguagesTest, NothingIsCutAtTheSmallestSize)
{
    for (const QString code : {"en", "fr", "es", "de", "it", "pt", "ru", "zh_CN", "ja"}) {
        SCOPED_TRACE(code.toStdString());
        auto window = makeWindow(code);
        window->show();
        for (const bool streaming : {false, true}) {
            window->m_sender.m_running = streaming;  // " Pause"
            window->updateControls();
            QCoreApplication::sendPostedEvents();  // the new layout's minimum
            window->resize(1, 1);
            QCoreApplication::processEvents();
            EXPECT_EQ(window->size(), window->minimumSize());
            EXPECT_TRUE(window->width() >= 580 && window->height() >= 480);
            for (QWidget* widget : window->centralWidget()->findChildren<QWidget*>()) {
                const bool showsText = qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget) ||
                                       qobject_cast<QComboBox*>(widget);
                if (showsText && widget->isVisible()) {
                    EXPECT_GE(widget->width(), widget->sizeHint().width()) << widget->metaObject()->className();
                }
            }
            const QLineEdit* resolution = window->m_resolutionCombo->lineEdit();
            EXPECT_GE(resolution->width() - 4, resolution->fontMetrics().horizontalAdvance(resolution->text()));
        }
        window->m_sender.m_running = false;
    }
}

// Every text the code passes through tr() (as lupdate finds it) has a finished
// translation in every catalogue, .ts and compiled, keeping the conventions.
TEST(LanguagesTest, CataloguesTranslateEveryTextOfTheCode)
{
    const std::map<QString, QString> code = readTs(QStringLiteral(ORVENNA_CODE_TEXTS), true);
    ASSERT_TRUE(code.count(QStringLiteral(" Play")) && code.count(QStringLiteral("&File")));
    for (const QString language : {"fr", "es", "de", "it", "pt", "ru", "zh_CN", "ja"}) {
        SCOPED_TRACE(language.toStdString());
        std::map<QString, QString> catalogue = readTs(QStringLiteral(ORVENNA_I18N_DIR "/orvenna_%1.ts").arg(language));
        QTranslator compiled;
        ASSERT_TRUE(compiled.load(QStringLiteral(":/i18n/orvenna_%1.qm").arg(language)));
        for (const auto& [source, ignored] : code) {
            EXPECT_TRUE(catalogue.count(source)) << "missing: " << source.toStdString();
            EXPECT_EQ(compiled.translate("MainWindow", source.toUtf8().constData()).toStdString(),
                      catalogue[source].toStdString());
        }
        for (const auto& [source, text] : catalogue)
            EXPECT_EQ(broken(source, text, language == "zh_CN" || language == "ja").toStdString(), "") << text.toStdString();
    }
}
