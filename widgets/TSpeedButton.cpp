#include "widgets/TSpeedButton.h"

#include "widgets/AccessibleFactory.h"

TSpeedButton::TSpeedButton(QWidget *parent) : QToolButton(parent)
{
    InstallAccessibleFactory();
}
