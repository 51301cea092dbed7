#include "startup/tblmain.h"

#include "startup/associate.h"
#include "startup/splash.h"
#include "startup/vexainit.h"
#include "vexa32/globals.h"
#include "vexa32/gui/messagebox.h"
#include "vexa32/paths.h"
#include "vexa32/settings.h"
#include "vexa32/strings.h"
#include "viewer/engine/tableloader.h"
#include "viewer/tblmainform.h"

namespace Startup {

using namespace Vexa32;

namespace {

bool AskForAssociation()
{
    const MessageAnswer answer = ShowMessageBox(
        QStringLiteral("Welcome to Korvax Manager ROWLENS32"),
        QStringLiteral("Do you want to use Korvax Manager ROWLENS32 as the default application "
                       "for *.TBL files? This will enable you to open this tool quickly from "
                       "Explorer and ARKLENS32 when double-clicking on a TBL file.\r\n\r\n"
                       "Note: You can do this later by going to the Options dialog."),
        MessageButtons::YesNo, MessageAnswer::Yes);
    return answer == MessageAnswer::Yes;
}

void AssociateTblFiles()
{
    AssociateFileType(QStringLiteral("open"), QStringLiteral("Korvax_Manager.ROWLENS32"),
                      QStringLiteral("Zorath TBL data file"), QString(), QStringLiteral("TBL"),
                      QString(), QString());
}

} // namespace

QString BuildVersionText(int major, int minor, int revision)
{
    return QStringLiteral("%1.%2 Beta 01 (Build 0%3)").arg(major).arg(minor).arg(revision);
}

QString CommandLineFromArguments(const QStringList &arguments)
{
    return arguments.join(u' ');
}

QString InformationFor(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return {};
    if (arguments.first() == QLatin1String("--version"))
        return QStringLiteral("rowlns32 %1.%2.%3\n")
            .arg(ROWLENS_VERSION_MAJOR)
            .arg(ROWLENS_VERSION_MINOR)
            .arg(ROWLENS_VERSION_PATCH);
    if (arguments.first() == QLatin1String("--help"))
        return QStringLiteral(
            "Usage: rowlns32 [FILE]\n"
            "\n"
            "Shows the sections and records of the Zorath table file FILE (*.TBL). The whole\n"
            "command line, double quotes removed, is the file's path; without one the window\n"
            "opens empty.\n"
            "\n"
            "  --help     show this help and exit\n"
            "  --version  show the version and exit\n"
            "\n"
            "The suite's files must be installed first (rowlens32-install-suite). Drive C: of\n"
            "the suite's paths is the folder named by VEXA_DRIVE_C, by default\n"
            "${XDG_DATA_HOME:-~/.local/share}/korvax/drive_c. See rowlns32(1).\n");
    return {};
}

std::unique_ptr<TBLMainForm> Main(const QString &commandLine)
{
    ProgramName = QStringLiteral("ROWLNS32");
    ProgramTitle = QStringLiteral("ROWLENS32");
    VersionText =
        BuildVersionText(ROWLENS_VERSION_MAJOR, ROWLENS_VERSION_MINOR, ROWLENS_VERSION_PATCH);

    vexa_init();
    SplashStart(157, 255, QStringLiteral("n/a"));

    const Setting choice = Settings::AssociateFileTypes();
    // Asked only when no choice is stored.
    const std::optional<bool> stored = choice.readFlag();
    bool associate = false;
    if (stored) {
        associate = *stored;
    } else {
        associate = AskForAssociation();
        // The question box lay over the splash: the splash is drawn again before the hold.
        RepaintSplash();
    }

    if (associate)
        AssociateTblFiles();
    choice.writeFlag(associate);

    auto form = std::make_unique<TBLMainForm>();
    // The Options dialog makes the association at once when it is confirmed checked.
    form->setFileTypeAssociation(AssociateTblFiles);

    const bool hasCommandLine = IsValueSet(commandLine);
    if (!hasCommandLine)
        Wait(3000);
    SplashEnd(0);
    form->show();

    if (hasCommandLine) {
        QString path = commandLine;
        while (ReplaceFirst(path, QStringLiteral("\""), QString())) {
        }
        // A file that exists but cannot be read is reported, not passed on: the window is
        // already up and stays usable.
        if (FileExists(path))
            form->LoadFileOrReport(path, Engine::OpenCaption);
    }
    return form;
}

} // namespace Startup
