#pragma once
// The program's own accessibility interfaces, for the controls the toolkit does not describe well
// enough by itself: speed buttons, the owner-drawn status bar, picture controls and the program's
// top-level windows. Installed once; every control that needs it asks for it when it is built.
#include <QAccessible>

void InstallAccessibleFactory();

// Top-level windows of this class are presented with the given role (a plain widget that is a
// window otherwise says "client").
void RegisterAccessibleRole(const char *className, QAccessible::Role role);
