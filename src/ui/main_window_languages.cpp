// The interface language: the Language menu, the system's best fit, the
// program's and the toolkit's translators, and switching between languages at
// run time.
#include "ui/main_window.h"

#include "ui/settings_keys.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QLocale>
#include <QMenu>
#include <QSettings>
#include <QStringList>
#include <QTranslator>

namespace {

struct Language {
    const char* code;
    const char* nativeName;
};

// Menu order; every name but "auto"'s stays in its own language. "auto"
// follows the system; "en" is the code's own, every other has catalogues.
const Language kLanguages[] = {
    {"auto", "Auto (system)"},
    {"en", "English"},
    {"fr", "Français"},
    {"es", "Español"},
    {"de", "Deutsch"},
    {"it", "Italiano"},
    {"pt", "Português"},
    {"ru", "Русский"},
    {"zh_CN", "简体中文"},
    {"ja", "日本語"},
};

} // namespace

void MainWindow::buildLanguageMenu()
{
    const QString stored = m_settings->value(settings_key::language, QStringLiteral("auto")).toString();
    auto* group = new QActionGroup(this);
    for (const Language& language : kLanguages) {
        const QString code = QString::fromLatin1(language.code);
        QAction* action = m_languageMenu->addAction(QString::fromUtf8(language.nativeName));
        action->setCheckable(true);
        action->setData(code);
        group->addAction(action);
        action->setChecked(code == stored);
        if (code == QLatin1String("auto"))
            m_autoLanguageAction = action;
        connect(action, &QAction::triggered, this,
                [this, action] { applyLanguage(action->data().toString()); });
    }
}

QString MainWindow::systemLanguage() const
{
    static const QStringList supported = [] {  // the codes with catalogues
        QStringList codes;
        for (const Language& language : kLanguages)
            codes << QString::fromLatin1(language.code);
        codes.removeOne(QStringLiteral("auto"));
        codes.removeOne(QStringLiteral("en"));
        return codes;
    }();
    const QString name = QLocale::system().name();  // language_Territory
    if (supported.contains(name))
        return name;
    const QString language = name.section(QLatin1Char('_'), 0, 0);
    // Traditional Chinese readers get the simplified catalogue, not English.
    if (language == QLatin1String("zh"))
        return QStringLiteral("zh_CN");
    return supported.contains(language) ? language : QStringLiteral("en");
}

void MainWindow::applyLanguage(const QString& lang)
{
    m_settings->setValue(settings_key::language, lang);
    const QString code = lang == QLatin1String("auto") ? systemLanguage() : lang;

    if (m_appTranslator)
        QCoreApplication::removeTranslator(m_appTranslator);
    if (m_qtTranslator)
        QCoreApplication::removeTranslator(m_qtTranslator);

    if (code != QLatin1String("en")) {
        if (!m_appTranslator)
            m_appTranslator = new QTranslator(this);
        if (!m_qtTranslator)
            m_qtTranslator = new QTranslator(this);
        // A code without a catalogue (an edited settings file) stays English.
        if (m_appTranslator->load(QStringLiteral(":/i18n/orvenna_") + code + QStringLiteral(".qm")))
            QCoreApplication::installTranslator(m_appTranslator);
        const QString toolkitCode = code == QLatin1String("pt") ? QStringLiteral("pt_BR") : code;
        if (m_qtTranslator->load(QStringLiteral(":/i18n/qtbase_") + toolkitCode + QStringLiteral(".qm")))
            QCoreApplication::installTranslator(m_qtTranslator);
    }
    retranslateUi();
}
