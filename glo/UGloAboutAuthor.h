#pragma once
// The about window, also the start-up splash: the maker's banner, the program icon, the product
// name, the version line, two contact lines and, expanded, the about text. As a splash it has no
// buttons and cannot be closed by the user; its creator destroys it.
#include "ui_UGloAboutAuthor.h"

#include <QDialog>

class Tm_GloAboutAuthor : public QDialog, public Ui::Tm_GloAboutAuthor {
    Q_OBJECT
public:
    Tm_GloAboutAuthor(QWidget *owner, int majorVersion, int minorVersion, const QString &captionText,
                      const QString &aboutText, bool splash);

    bool m_bExpanded = false;

    // "版本:" followed by major.minor.
    static QString VersionLine(int majorVersion, int minorVersion);

public slots:
    void m_Button_AboutClick();
    void m_Button_OKClick();
    // Escape presses the OK button (nothing while it is hidden and disabled, as in the splash).
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *e) override;

private:
    void SetHeight(int height);
    bool m_bSplash;
    // Where the window was shown; it cannot be moved by the user.
    bool m_bPlaced = false;
    QPoint m_Place;
    int m_nPlaceCorrections = 0;
};
