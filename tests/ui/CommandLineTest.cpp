// zulconfig --help and --version answer on a machine without a display: the real program, run
// with no display and no platform chosen.
#include "app/CommandLine.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

struct ProgramRun
{
    int exitCode;
    QString output;
};

ProgramRun runWithoutDisplay(const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
        environment.remove(QString::fromLatin1(name));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(ZULCONFIG_PATH), arguments);
    if (!program.waitForFinished(10000)) {
        program.kill();
        program.waitForFinished();
        return { -1, QString() };
    }
    return { program.exitCode(), QString::fromLocal8Bit(program.readAllStandardOutput()) };
}

} // namespace

TEST(CommandLine, HelpAndVersionAnswerWithoutADisplayAndQtOptionsGoOn)
{
    const ProgramRun version = runWithoutDisplay({ QStringLiteral("--version") });
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.output.startsWith(QStringLiteral("ZUL Module Configuration 1.0")))
        << version.output.toStdString();

    const ProgramRun help = runWithoutDisplay({ QStringLiteral("--help") });
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.output.contains(QStringLiteral("Usage: "))) << help.output.toStdString();
    EXPECT_TRUE(help.output.contains(QStringLiteral("--version")));

    EXPECT_FALSE(AnswerCommandLine({ "zulconfig", "-platform", "offscreen" }));
    EXPECT_FALSE(AnswerCommandLine({ "zulconfig" }));
}
