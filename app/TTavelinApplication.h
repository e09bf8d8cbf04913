#pragma once
// The application object: title "Tavelin", the Song face substitution, the main window and the
// standard error report for any error that escapes an event handler.
#include <QApplication>

class TTavelinApplication : public QApplication {
    Q_OBJECT
public:
    TTavelinApplication(int &argc, char **argv);

    // An exception escaping a handler is shown in the standard error report; the program goes on
    // with the next event.
    bool notify(QObject *receiver, QEvent *event) override;

    // The first window the program creates becomes the main window; dialogs centre over it.
    void SetMainForm(QWidget *form);
    QWidget *MainForm() const;
};
