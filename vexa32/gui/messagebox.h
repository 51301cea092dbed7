#pragma once
// The platform message box: a modal box with a title, a text, a set of buttons and a default
// button, and no icon. It blocks until answered and returns the answer.
//
// Tests (and headless runs) install a responder that answers instead of showing the box;
// the responder receives exactly what the box would show. Nothing here fails: a box that
// is closed without a button press answers with its escape button (Cancel or No).

#include <QString>
#include <functional>

namespace Vexa32 {

enum class MessageButtons
{
    OkCancel,
    YesNo
};

enum class MessageAnswer
{
    Ok,
    Cancel,
    Yes,
    No
};

struct MessageRequest
{
    QString title;
    QString text; // as given; line breaks may be CR LF
    MessageButtons buttons = MessageButtons::OkCancel;
    MessageAnswer defaultButton = MessageAnswer::Ok;
};

using MessageResponder = std::function<MessageAnswer(const MessageRequest &)>;

// Shows the box modally (or asks the installed responder) and returns the answer.
MessageAnswer ShowMessageBox(const QString &title, const QString &text, MessageButtons buttons,
                             MessageAnswer defaultButton);

// Installs a responder that answers every box from now on; an empty one restores the real box.
void SetMessageResponder(MessageResponder responder);

} // namespace Vexa32
