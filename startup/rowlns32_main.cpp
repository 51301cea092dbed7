// The program: builds the application, runs the start-up and then the main window's
// events. The program ends when the main window is closed.

#include "startup/tblmain.h"
#include "viewer/tblmainform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const std::unique_ptr<TBLMainForm> mainWindow =
        TBLMain::Main(TBLMain::CommandLineFromArguments(arguments));
    return QApplication::exec();
}
