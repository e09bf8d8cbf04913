#include "widgets/ApplicationMainForm.h"

#include <QPointer>
#include <QWidget>

namespace {
QPointer<QWidget> &mainForm()
{
    static QPointer<QWidget> form;
    return form;
}
} // namespace

QWidget *ApplicationMainForm()
{
    return mainForm().data();
}

void SetApplicationMainForm(QWidget *form)
{
    mainForm() = form;
}
