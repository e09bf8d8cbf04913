#pragma once
// The typed input dialog: asks for one value of a given kind (text, memo, date, time, date-time,
// integer, float), filled from and written back to a TFunParam. Modal result 1 = confirmed (the
// kind's slot was written), 2 = cancelled, Esc or the close box (the record untouched).
#include "glo/TFunParam.h"
#include "ui_UGloInputDlg.h"

#include <QDialog>
#include <cstdint>

class QAction;
class QKeyEvent;
class QMenu;

class Tm_GloInputDlg : public QDialog, public Ui::Tm_GloInputDlg {
    Q_OBJECT
public:
    // The record is referenced, not owned; it must outlive the dialog.
    Tm_GloInputDlg(QWidget *owner, const QString &prompt, TFunParam &param, std::uint8_t inputKind);

    QMenu *m_PopupMenu_StrInputShortcut = nullptr;
    QMenu *m_PopupMenu_MemoInputMenu = nullptr;
    QAction *m_Menu_Memo_Copy = nullptr;
    QAction *m_Menu_MemoPast = nullptr;
    QAction *N2 = nullptr;
    QAction *N3 = nullptr;

    std::uint8_t m_nInputKind;
    QString m_strPrompt;
    TFunParam *m_pFunParam;

public slots:
    void FormCreate();
    void FormShow();
    void m_Button_OKClick();
    void m_Button_CancelClick();
    void m_strContentKeyUp(QKeyEvent *event);
    void m_Menu_Memo_CopyClick();
    void m_Menu_MemoPastClick();
    void N2Click();
    void StrInputShortcutItemClick(QAction *item);
    void MemoInputItemClick(QAction *item);

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *AddCaptionItem(QMenu *menu, const QString &caption);
    bool m_bShown = false;
};
