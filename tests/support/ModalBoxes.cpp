#include "support/ModalBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <memory>

namespace TestSupport {

void WhenModal(std::function<void(QWidget *)> action, int timeoutMs)
{
    auto *timer = new QTimer(qApp);
    auto elapsed = std::make_shared<QElapsedTimer>();
    elapsed->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action, elapsed, timeoutMs] {
        if (QWidget *w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(w);
            return;
        }
        if (elapsed->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            qWarning("WhenModal: no modal widget appeared");
        }
    });
    timer->start();
}

namespace {

// Lets record look at the next modal message box, then presses its button.
void answer(QMessageBox::StandardButton button, const std::function<void(const QMessageBox &)> &record, int timeoutMs)
{
    WhenModal(
        [=](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            if (!box) {
                qWarning("AnswerMessageBox: the modal widget is not a message box");
                return;
            }
            record(*box);
            if (QAbstractButton *b = box->button(button))
                b->click();
            else
                qWarning("AnswerMessageBox: the box has no such button");
        },
        timeoutMs);
}

} // namespace

void AnswerMessageBox(QMessageBox::StandardButton button, QString *textSeen, QString *titleSeen, int timeoutMs)
{
    answer(
        button,
        [=](const QMessageBox &box) {
            if (textSeen)
                *textSeen = box.text();
            if (titleSeen)
                *titleSeen = box.windowTitle();
        },
        timeoutMs);
}

void AnswerMessageBox(QMessageBox::StandardButton button, TSeenMessageBox *seen, int timeoutMs)
{
    answer(
        button,
        [=](const QMessageBox &box) {
            seen->text = box.text();
            seen->title = box.windowTitle();
            seen->icon = box.icon();
            seen->buttons.clear();
            for (const QAbstractButton *b : box.buttons())
                seen->buttons << b->text();
        },
        timeoutMs);
}

} // namespace TestSupport
