#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// The toolkit's own options (QGuiApplication's and QApplication's), which
// its application object takes away later: known here only to let them pass.
const char* const kToolkitOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
    "qwindowtitle", "session", "display", "geometry", "style", "stylesheet", "qmljsdebugger"};
const char* const kToolkitFlags[] = {"reverse", "widgetcount"};

void describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral("Streams a video file or a still image as a virtual webcam."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Video or image to open."),
                                 QStringLiteral("[file]"));
    // As the toolkit reads them: one dash, a whole word.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char* name : kToolkitOptionsWithValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : kToolkitFlags) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

} // namespace

QString fileToOpen(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QCommandLineParser parser;
    describe(parser);
    const bool parsed = parser.parse(arguments);
    if (parsed && parser.positionalArguments().size() <= 1 && !parser.isSet(QStringLiteral("help"))
        && !parser.isSet(QStringLiteral("help-all")) && !parser.isSet(QStringLiteral("version")))
        return parser.positionalArguments().value(0);

    // The parser's texts need an application object; no window system yet.
    QCoreApplication app(argc, argv);
    if (!parsed || parser.positionalArguments().size() > 1) {
        const QString error = parsed ? QStringLiteral("Only one file can be opened.") : parser.errorText();
        std::fprintf(stderr, "%s\n\n%s", qPrintable(error), qPrintable(parser.helpText()));
        std::exit(EXIT_FAILURE);
    }
    parser.process(app);  // prints the help or the version and exits
    return {};
}
