#pragma once
// Answering the modal windows (message boxes, dialogs) a test makes the program open.
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace TestSupport {

// Runs action once the next modal widget (message box, dialog) is active; gives up after timeoutMs.
void WhenModal(std::function<void(QWidget *)> action, int timeoutMs = 5000);
// Presses the given button of the next modal message box and records its text.
void AnswerMessageBox(QMessageBox::StandardButton button, QString *textSeen = nullptr, QString *titleSeen = nullptr,
                      int timeoutMs = 5000);

// What a message box showed.
struct TSeenMessageBox {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons; // their texts, in the box's order
};
// Presses the given button of the next modal message box and records all it showed in *seen.
void AnswerMessageBox(QMessageBox::StandardButton button, TSeenMessageBox *seen, int timeoutMs = 5000);

} // namespace TestSupport
