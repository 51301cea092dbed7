#include "tests/support/modalanswer.h"

#include "vexa32/gui/errordialog.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>
#include <cstdio>

void AnswerNextModal(std::function<void(QWidget *)> inspect, int attempts)
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

void CloseModalDialogsReporting()
{
    auto *timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            std::fprintf(stderr, "[%s] [%s]\n", qPrintable(Vexa32::ErrorHeaderText),
                         qPrintable(Vexa32::ErrorMessageText));
            std::fflush(stderr);
            modal->close();
        }
    });
    timer->start();
}
