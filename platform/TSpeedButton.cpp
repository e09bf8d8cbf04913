#include "platform/TSpeedButton.h"

#include "platform/AccessibleFactory.h"

TSpeedButton::TSpeedButton(QWidget *parent) : QToolButton(parent)
{
    InstallAccessibleFactory();
}
