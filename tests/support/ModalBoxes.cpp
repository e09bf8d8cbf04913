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

void AnswerMessageBox(QMessageBox::StandardButton button, QString *textSeen, QString *titleSeen, int timeoutMs)
{
    WhenModal(
        [=](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            if (!box) {
                qWarning("AnswerMessageBox: the modal widget is not a message box");
                return;
            }
            if (textSeen)
                *textSeen = box->text();
            if (titleSeen)
                *titleSeen = box->windowTitle();
            if (QAbstractButton *b = box->button(button))
                b->click();
            else
                qWarning("AnswerMessageBox: the box has no such button");
        },
        timeoutMs);
}

} // namespace TestSupport
