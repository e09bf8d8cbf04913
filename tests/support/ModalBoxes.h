#pragma once
// Answering the modal windows (message boxes, dialogs) a test makes the program open.
#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

namespace TestSupport {

// Runs action once the next modal widget (message box, dialog) is active; gives up after timeoutMs.
void WhenModal(std::function<void(QWidget *)> action, int timeoutMs = 5000);
// Presses the given button of the next modal message box and records its text.
void AnswerMessageBox(QMessageBox::StandardButton button, QString *textSeen = nullptr, QString *titleSeen = nullptr,
                      int timeoutMs = 5000);

} // namespace TestSupport
