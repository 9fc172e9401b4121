#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

void describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral("Streams a video file or a still image as a virtual webcam."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Video or image to open."),
                                 QStringLiteral("[file]"));
}

} // namespace

void answerInformationRequests(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QCommandLineParser parser;
    describe(parser);
    // A window-system option (-platform ...) fails this parse; the full one
    // after the QApplication answers that command line.
    if (!parser.parse(arguments) || !(parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))
                                      || parser.isSet(QStringLiteral("version"))))
        return;
    QCoreApplication app(argc, argv);
    parser.process(app);  // prints and exits
}

QStringList filesToOpen()
{
    QCommandLineParser parser;
    describe(parser);
    parser.process(*QCoreApplication::instance());
    return parser.positionalArguments();
}
