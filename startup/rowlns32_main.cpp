// The program: builds the application, runs the start-up and then the main window's
// events. The program ends when the main window is closed.

#include "startup/tblmain.h"
#include "viewer/tblmainform.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    // "--help" and "--version" are answered before the application exists, so they need no
    // display.
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    const QString information = Startup::InformationFor(raw);
    if (!information.isEmpty()) {
        const QByteArray text = information.toLocal8Bit();
        const bool written = std::fwrite(text.constData(), 1, text.size(), stdout) ==
                                 static_cast<size_t>(text.size()) &&
                             std::fflush(stdout) == 0;
        return written ? 0 : 1;
    }

    QApplication app(argc, argv);
    // Lets the desktop match the windows to the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral(ROWLENS_APP_ID));
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const std::unique_ptr<TBLMainForm> mainWindow =
        Startup::Main(Startup::CommandLineFromArguments(arguments));
    // Closed while the start-up was still loading the file named: nothing is left to run.
    if (mainWindow->isHidden())
        return 0;
    return QApplication::exec();
}
