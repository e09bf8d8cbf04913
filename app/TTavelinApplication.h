#pragma once
// The application object: title "Tavelin", the Song face substitution, Qt's own dialogs in Chinese,
// the main window and the standard error report for any error that escapes an event handler.
#include <QApplication>
#include <QTranslator>

class TTavelinApplication : public QApplication {
    Q_OBJECT
public:
    TTavelinApplication(int &argc, char **argv);

    // The name the desktop entry is installed under; window managers find the icon and the
    // program's name through it.
    static QString DesktopFileName() { return QStringLiteral("org.tavelin.Tavelin"); }

    // An exception escaping a handler is shown in the standard error report; the program goes on
    // with the next event.
    bool notify(QObject *receiver, QEvent *event) override;

    // The first window the program creates becomes the main window; dialogs centre over it.
    void SetMainForm(QWidget *form);
    QWidget *MainForm() const;

    // Whether Qt's own Chinese texts (message box buttons, file, print and page set-up dialogs)
    // were found and installed.
    bool QtChineseInstalled() const { return m_bQtChinese; }

private:
    QTranslator m_QtTranslator;
    bool m_bQtChinese = false;
};
