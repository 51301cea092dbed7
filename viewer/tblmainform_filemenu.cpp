// TBLMainForm: the File menu's commands and the other ways a file comes in: the open
// command (menu, Ctrl+O and the toolbar), the recent files, dropped files, Options and Exit.

#include "vexa32/paths.h"
#include "vexa32/platform/host.h"
#include "vexa32/settings.h"
#include "viewer/engine/tableloader.h"
#include "viewer/mainformcontrols.h"
#include "viewer/mainformtexts.h"
#include "viewer/optionsdialog.h"
#include "viewer/recentfilesmenu.h"
#include "viewer/reloadcontroller.h"
#include "viewer/tablefiledialog.h"
#include "viewer/tblmainform.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

using namespace Engine;

namespace {

// The open dialog of the program, in the folder last used.
std::optional<QString> AskOpenFileName(QWidget *parent, const QString &initialDir)
{
    QString directory;
    if (!initialDir.isEmpty()) {
        directory = Vexa32::Platform::HostPath(initialDir).value_or(QString());
    }
    // A typed name that does not exist is accepted; the command then loads nothing.
    return AskTableFileName(parent, QStringLiteral("Open"), QStringLiteral("CommonDialog1"),
                            directory, QFileDialog::AnyFile);
}

// The first local file of a drag, or "".
QString DroppedFile(const QMimeData *data)
{
    if (data == nullptr || !data->hasUrls()) {
        return {};
    }
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile()) {
            return url.toLocalFile();
        }
    }
    return {};
}

} // namespace

void TBLMainForm::MenuFileOpen_Click()
{
    using namespace Vexa32;
    try {
        const Setting lastDir = Settings::LastOpenDir();
        const QString initialDir = lastDir.read();
        const std::optional<QString> chosen =
            m_openDialog ? m_openDialog(initialDir) : AskOpenFileName(this, initialDir);
        if (chosen) {
            QString directory;
            QString name;
            SplitPath(*chosen, directory, name);
            lastDir.write(directory);
            if (FileExists(*chosen)) {
                LoadFile(*chosen, Engine::OpenCaption);
            }
        }
    } catch (...) {
        // The command ends quietly; the window stays as the failed step left it.
        setBusyPointer(false);
    }
    setStatusPanel(1, Engine::ReadyStatus);
}

void TBLMainForm::Toolbar1_ButtonClick(const QString &key)
{
    if (key == MainFormText::OpenButtonKey) {
        MenuFileOpen_Click();
    }
}

void TBLMainForm::openFromOutside(const QString &path)
{
    // As the open command does after its dialog. Only the dialog stores "LastOpenDir": a
    // dropped or recent file was not chosen in that folder.
    try {
        if (Vexa32::FileExists(path)) {
            LoadFile(path, Engine::OpenCaption);
        }
    } catch (...) {
        setBusyPointer(false);
    }
    setStatusPanel(1, Engine::ReadyStatus);
}

void TBLMainForm::MenuFileRecent_Click(int index)
{
    m_ui->recentFiles->choose(index);
}

void TBLMainForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (!DroppedFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void TBLMainForm::dropEvent(QDropEvent *event)
{
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    openFromOutside(path);
}

void TBLMainForm::MenuFileOptions_Click()
{
    const Vexa32::Setting choice = Vexa32::Settings::AssociateFileTypes();
    const Vexa32::Setting autoReload = Vexa32::Settings::AutoReload();
    OptionsDialog dialog(this);
    dialog.setAssociateFileTypes(choice.readFlag().value_or(false));
    dialog.setAutoReload(autoReload.readFlag().value_or(true));
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    autoReload.writeFlag(dialog.autoReload());
    m_reload->setAutoReload(dialog.autoReload());
    const bool associate = dialog.associateFileTypes();
    choice.writeFlag(associate);
    if (associate && m_associate) {
        m_associate();
    }
}

void TBLMainForm::MenuFileExit_Click()
{
    close();
}
