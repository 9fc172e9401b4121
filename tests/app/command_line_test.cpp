// The program's command line, checked with no window system to be had.
#include <QProcess>

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, AnsweredBeforeAnyDisplayIsNeeded)
{
    const struct {
        QStringList arguments;
        int exitCode;
        const char *out, *err;  // what each stream begins with
    } cases[] = {
        {{"--version"}, 0, "Orvenna " ORVENNA_VERSION "\n", ""},
        {{"-platform", "offscreen", "--help"}, 0, "Usage: ", ""},  // the toolkit's options pass
        {{"--bogus"}, 1, "", "Unknown option 'bogus'.\n\nUsage: "},
        {{"a.mp4", "b.mp4"}, 1, "", "Only one file can be opened.\n\nUsage: "},
    };
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(ORVENNA_PROGRAM, c.arguments);
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), c.exitCode);
        const QByteArray out = program.readAllStandardOutput(), err = program.readAllStandardError();
        EXPECT_TRUE(out.startsWith(c.out) && (*c.out || out.isEmpty())) << out.constData();
        EXPECT_TRUE(err.startsWith(c.err) && (*c.err || err.isEmpty())) << err.constData();
    }
}

} // namespace
