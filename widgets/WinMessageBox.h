#pragma once
// The operating system's message box: a style word selects buttons, icon and default button, the
// result is the identifier of the button pressed (IDOK, IDCANCEL, IDYES, ...). The box is modal to
// the whole application. As on Windows, a box without a Cancel button (Yes/No, Abort/Retry/Ignore)
// can only be left through one of its buttons: Esc and the close box do nothing there.
#include <QList>
#include <QMessageBox>
#include <QString>
#include <cstdint>

class QWidget;

// The buttons of a style, in the order the box lays them out.
QList<QMessageBox::StandardButton> MessageBoxButtons(std::uint32_t flags);
QMessageBox::Icon MessageBoxIcon(std::uint32_t flags);
// The identifier a button returns (IDOK ... IDNO).
int MessageBoxResultId(QMessageBox::StandardButton button);
// Whether Esc and the close box may end the box (an OK-only box or one with Cancel).
bool MessageBoxCancellable(std::uint32_t flags);

// Shows the box modally; owner may be nullptr. Returns the identifier of the button pressed.
int WinMessageBox(QWidget *owner, const QString &text, const QString &caption, std::uint32_t flags);
