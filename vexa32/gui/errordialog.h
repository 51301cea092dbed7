#pragma once
// The library's error dialog VexaEMsg and the two procedures that show it.
//
// The message travels through three variables of the library that each call overwrites;
// the dialog reads them when it is built, so every showing shows the latest message.
// ShowErrorMessage never fails towards its caller. ShowFatalError shows the dialog and then
// ends the process at once with exit status 1: no code of its caller and no close handler
// of any other window runs.

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace Vexa32 {

extern QString ErrorCode;        // stored, never shown
extern QString ErrorHeaderText;  // the dialog's header, shown with one trailing blank
extern QString ErrorMessageText; // the message; CR LF starts a new line

class VexaEMsg : public QDialog
{
    Q_OBJECT
public:
    // Builds the dialog and runs Form_Load. It has no owner window.
    VexaEMsg();

    void Form_Load();
    void ButtonOK_Click();

private:
    QLabel *m_header = nullptr;
    QPlainTextEdit *m_message = nullptr;
    QPushButton *m_ok = nullptr;
};

void ShowErrorMessage(const QString &code, const QString &header, const QString &text);
[[noreturn]] void ShowFatalError(const QString &code, const QString &header, const QString &text);

} // namespace Vexa32
