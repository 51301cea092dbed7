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

QMessageBox::StandardButton ToStandard(MessageAnswer answer)
{
    switch (answer) {
    case MessageAnswer::Ok:
        return QMessageBox::Ok;
    case MessageAnswer::Cancel:
        return QMessageBox::Cancel;
    case MessageAnswer::Yes:
        return QMessageBox::Yes;
    case MessageAnswer::No:
        return QMessageBox::No;
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
    switch (result) {
    case QMessageBox::Ok:
        return MessageAnswer::Ok;
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        return yesNo ? MessageAnswer::No : MessageAnswer::Cancel;
    }
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
