// The suite's tools library: the about box of the suite and the version check. Both entry
// points are plain C procedures without arguments or result; they show a modal message box
// and return when it is closed. They never throw out of the library. The version check names
// the same download page as the program's own messages.

#include "startup/vexainit.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

namespace {

const QString SuiteName = QStringLiteral("Korvax Manager");
const QString SuiteVersion = QStringLiteral("3.2");

// The modules show these boxes only while an application object runs.
bool HaveApplication()
{
    return qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr;
}

} // namespace

extern "C" __attribute__((visibility("default"))) void DoAbout()
{
    if (!HaveApplication()) {
        return;
    }
    try {
        QMessageBox::about(nullptr, QStringLiteral("About ") + SuiteName,
                           QStringLiteral("<b>%1</b><br>Version %2<br><br>"
                                          "A suite of tools for the game Zorath: viewers and "
                                          "editors for its archives, tables and models.")
                               .arg(SuiteName, SuiteVersion));
    } catch (...) {
    }
}

extern "C" __attribute__((visibility("default"))) void DoKMVC()
{
    if (!HaveApplication()) {
        return;
    }
    try {
        QMessageBox::information(
            nullptr, QStringLiteral("Check for new version"),
            QStringLiteral("Installed: %1 %2\n\nNew versions of the suite are published at\n%3")
                .arg(SuiteName, SuiteVersion, Startup::DownloadAddress));
    } catch (...) {
    }
}
