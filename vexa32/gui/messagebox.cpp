#include "vexa32/gui/messagebox.h"

#include <QMessageBox>
#include <utility>

namespace Vexa32 {

namespace {

MessageResponder &Responder()
{
    static MessageResponder responder;
    return responder;
}

// Each answer and the box's button that gives it.
constexpr std::pair<MessageAnswer, QMessageBox::StandardButton> AnswerButtons[] = {
    {MessageAnswer::Ok, QMessageBox::Ok},
    {MessageAnswer::Cancel, QMessageBox::Cancel},
    {MessageAnswer::Yes, QMessageBox::Yes},
    {MessageAnswer::No, QMessageBox::No},
};

QMessageBox::StandardButton ToStandard(MessageAnswer answer)
{
    for (const auto &[each, button] : AnswerButtons) {
        if (each == answer) {
            return button;
        }
    }
    return QMessageBox::NoButton;
}

MessageAnswer ShowRealBox(const MessageRequest &request)
{
    const bool yesNo = request.buttons == MessageButtons::YesNo;
    QMessageBox box;
    box.setIcon(QMessageBox::NoIcon);
    // Start-up boxes must come up over the splash window, which has no owner relation to them.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.setWindowTitle(request.title);
    box.setTextFormat(Qt::PlainText);
    QString shown = request.text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    box.setText(shown);
    box.setStandardButtons(yesNo ? (QMessageBox::Yes | QMessageBox::No)
                                 : (QMessageBox::Ok | QMessageBox::Cancel));
    box.setDefaultButton(ToStandard(request.defaultButton));
    box.setEscapeButton(yesNo ? QMessageBox::No : QMessageBox::Cancel);
    const int result = box.exec();
    // Any other way out of the box (Cancel, Esc, closing it) is the negative answer.
    for (const auto &[answer, button] : AnswerButtons) {
        if (result == button && answer != MessageAnswer::Cancel) {
            return answer;
        }
    }
    return yesNo ? MessageAnswer::No : MessageAnswer::Cancel;
}

} // namespace

MessageAnswer ShowMessageBox(const QString &title, const QString &text, MessageButtons buttons,
                             MessageAnswer defaultButton)
{
    const MessageRequest request{title, text, buttons, defaultButton};
    if (Responder())
        return Responder()(request);
    return ShowRealBox(request);
}

void SetMessageResponder(MessageResponder responder)
{
    Responder() = std::move(responder);
}

} // namespace Vexa32
