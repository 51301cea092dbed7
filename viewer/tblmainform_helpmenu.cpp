// TBLMainForm: the Help menu's commands, the kit's tutorial and the two calls into the
// suite tools library.

#include "vexa32/gui/document.h"
#include "vexa32/gui/errordialog.h"
#include "vexa32/modules.h"
#include "vexa32/suitetools.h"
#include "viewer/mainformtexts.h"
#include "viewer/tblmainform.h"

namespace {

void ShowToolsLibraryMissing()
{
    Vexa32::ShowErrorMessage(QString(), MainFormText::ToolsMissingHeader,
                             MainFormText::ToolsMissingMessage);
}

} // namespace

void TBLMainForm::MenuHelpTutorial_Click()
{
    Vexa32::OpenDocument(Vexa32::ModuleFilePath(MainFormText::KitModule));
}

void TBLMainForm::MenuHelpKMVC_Click()
{
    if (!Vexa32::DoKMVC()) {
        ShowToolsLibraryMissing();
    }
}

void TBLMainForm::MenuHelpAbout_Click()
{
    if (!Vexa32::DoAbout()) {
        ShowToolsLibraryMissing();
    }
}
