// Start-up of the tool: --help and --version, else the application object and the main window,
// whose creation also chooses the edition from this executable's name.
#include "CommandLine.h"
#include "FormZULConfigure.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Before QApplication, which needs a display.
    if (const auto answer = AnswerCommandLine(std::vector<std::string>(argv, argv + argc))) {
        std::fputs(answer->text.c_str(), stdout);
        return answer->exitCode;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zulconfig"));
    // argv[0] rather than the resolved file path, so that the zulconfigt link picks the
    // production test version.
    TForm_ZULConfigure window(QString::fromLocal8Bit(argv[0]));
    window.show();
    return QApplication::exec();
}
