#pragma once
// TBLMain: the program's start-up. Main names the program, initialises the shared
// environment, shows the splash screen, asks once (then follows the stored answer) whether
// to become the handler of *.TBL files, creates the main window and opens the table file
// named on the command line.
//
// Main may end the program (fatal errors of the environment, Cancel on a splash warning).
// A command-line file that cannot be read is reported with the error dialog; the window
// stays open.

#include <QString>
#include <QStringList>
#include <memory>

class TBLMainForm;

// The program's start-up (the module TBLMain).
namespace Startup {

// "<major>.<minor> Beta 01 (Build 0<revision>)".
QString BuildVersionText(int major, int minor, int revision);

// The command line: the program's arguments (without the program) joined by one blank.
QString CommandLineFromArguments(const QStringList &arguments);

// What the program prints, instead of starting, for a command line of exactly "--help" or
// "--version"; an empty text for every other command line, which is a table file's path.
QString InformationFor(const QStringList &arguments);

// Runs the start-up and returns the shown main window, which the caller keeps alive.
std::unique_ptr<TBLMainForm> Main(const QString &commandLine);

} // namespace Startup
