// Start-up of the tool: the application object and the main window, whose creation also chooses
// the edition from this executable's name.
#include "FormZULConfigure.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zulconfig"));
    // argv[0] rather than the resolved file path, so that the zulconfigt link picks the
    // production test version.
    TForm_ZULConfigure window(QString::fromLocal8Bit(argv[0]));
    window.show();
    return QApplication::exec();
}
