#pragma once
// The application's main window: the first window the program creates through the application object.
// Dialogs that centre themselves over "the main window" ask here; nullptr while there is none.
class QWidget;

QWidget *ApplicationMainForm();
// Remembers the window (a guarded pointer: a destroyed window reads as nullptr).
void SetApplicationMainForm(QWidget *form);
