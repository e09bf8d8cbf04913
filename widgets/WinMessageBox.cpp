#include "widgets/WinMessageBox.h"

#include "platform/WinConstants.h"
#include "widgets/TCentredMessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>

QList<QMessageBox::StandardButton> MessageBoxButtons(std::uint32_t flags)
{
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case MB_ABORTRETRYIGNORE:
        return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
    case MB_YESNOCANCEL:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case MB_YESNO:
        return {QMessageBox::Yes, QMessageBox::No};
    case MB_RETRYCANCEL:
        return {QMessageBox::Retry, QMessageBox::Cancel};
    default:
        return {QMessageBox::Ok};
    }
}

QMessageBox::Icon MessageBoxIcon(std::uint32_t flags)
{
    switch (flags & MB_ICONMASK) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int MessageBoxResultId(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Abort:
        return IDABORT;
    case QMessageBox::Retry:
        return IDRETRY;
    case QMessageBox::Ignore:
        return IDIGNORE;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return IDCANCEL;
    }
}

bool MessageBoxCancellable(std::uint32_t flags)
{
    const auto buttons = MessageBoxButtons(flags);
    return buttons.size() == 1 || buttons.contains(QMessageBox::Cancel);
}

namespace {

QString ButtonCaption(QMessageBox::StandardButton b)
{
    switch (b) {
    case QMessageBox::Ok:
        return QStringLiteral("确定");
    case QMessageBox::Cancel:
        return QStringLiteral("取消");
    case QMessageBox::Abort:
        return QStringLiteral("中止(&A)");
    case QMessageBox::Retry:
        return QStringLiteral("重试(&R)");
    case QMessageBox::Ignore:
        return QStringLiteral("忽略(&I)");
    case QMessageBox::Yes:
        return QStringLiteral("是(&Y)");
    case QMessageBox::No:
        return QStringLiteral("否(&N)");
    default:
        return QString();
    }
}

// QMessageBox would let Esc pick "No" or "Abort"; the platform's box does not.
class TWinMessageBoxDialog : public TCentredMessageBox {
public:
    TWinMessageBoxDialog(QWidget *owner, bool cancellable)
        : TCentredMessageBox(QMessageBox::NoIcon, QString(), QString(), owner), m_cancellable(cancellable)
    {
    }

protected:
    void keyPressEvent(QKeyEvent *e) override
    {
        if (!m_cancellable && e->matches(QKeySequence::Cancel)) {
            e->accept();
            return;
        }
        TCentredMessageBox::keyPressEvent(e);
    }
    void closeEvent(QCloseEvent *e) override
    {
        if (!m_cancellable) {
            e->ignore();
            return;
        }
        TCentredMessageBox::closeEvent(e);
    }

private:
    bool m_cancellable;
};

} // namespace

int WinMessageBox(QWidget *owner, const QString &text, const QString &caption, std::uint32_t flags)
{
    const bool cancellable = MessageBoxCancellable(flags);
    const QPointer<QWidget> focusBefore = QApplication::focusWidget();

    TWinMessageBoxDialog box(owner, cancellable);
    Qt::WindowFlags wf = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (cancellable)
        wf |= Qt::WindowCloseButtonHint;
    box.setWindowFlags(wf);
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(caption);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(MessageBoxIcon(flags));

    const auto buttons = MessageBoxButtons(flags);
    for (QMessageBox::StandardButton b : buttons)
        box.addButton(b)->setText(ButtonCaption(b));
    const int defIndex = int((flags & MB_DEFMASK) >> 8);
    box.setDefaultButton(buttons.value(defIndex, buttons.first()));
    if (cancellable)
        box.setEscapeButton(box.button(buttons.contains(QMessageBox::Cancel) ? QMessageBox::Cancel : buttons.first()));

    box.exec();
    int result = IDCANCEL;
    if (QAbstractButton *clicked = box.clickedButton())
        result = MessageBoxResultId(box.standardButton(clicked));
    else if (buttons.size() == 1)
        result = IDOK;

    // Back to where the user was, as the platform's box does when it ends.
    if (focusBefore) {
        focusBefore->window()->activateWindow();
        focusBefore->setFocus();
    }
    return result;
}
