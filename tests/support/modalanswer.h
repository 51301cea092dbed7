#pragma once
// Answering the modal dialogs of a test. Both poll the event loop only; no timing is
// measured.

#include <functional>

class QWidget;

// Answers the next modal dialog: once the dialog's own event loop runs, inspect is called
// with it and the dialog is then closed (rejected) unless inspect closed it.
void AnswerNextModal(std::function<void(QWidget *)> inspect, int attempts = 500);

// In a death test's child: closes every modal dialog as soon as it runs, after writing the
// error dialog's header and text to stderr, where the death test's pattern finds them.
void CloseModalDialogsReporting();
