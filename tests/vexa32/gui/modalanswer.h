#pragma once
// Answers the next modal dialog of a test: once the dialog's own event loop runs, inspect
// is called with it and the dialog is then closed (rejected). Polls the event loop only;
// no timing is measured.

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

inline void AnswerNextModal(std::function<void(QWidget *)> inspect, int attempts = 500)
{
    QTimer::singleShot(10, [inspect = std::move(inspect), attempts]() mutable {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            if (attempts > 0) {
                AnswerNextModal(std::move(inspect), attempts - 1);
            }
            return;
        }
        if (inspect) {
            inspect(modal);
        }
        // The inspector may have closed it already.
        if (QApplication::activeModalWidget() == modal) {
            if (auto *dialog = qobject_cast<QDialog *>(modal)) {
                dialog->reject();
            } else {
                modal->close();
            }
        }
    });
}
