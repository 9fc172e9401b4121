// The interface language: the system's best fit, the program's and the
// toolkit's translators, and switching between languages at run time.
#include "ui/main_window.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSettings>
#include <QStringList>
#include <QTranslator>

QString MainWindow::systemLanguage() const
{
    static const QStringList supported = {
        QStringLiteral("fr"), QStringLiteral("es"), QStringLiteral("de"),    QStringLiteral("it"),
        QStringLiteral("pt"), QStringLiteral("ru"), QStringLiteral("zh_CN"), QStringLiteral("ja"),
    };
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
    m_settings->setValue(QStringLiteral("language"), lang);
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
