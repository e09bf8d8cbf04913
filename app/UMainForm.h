#pragma once
// The main window: the atlas button bar on the left, the page control with the start page and one
// page per atlas frame on the right, the status bar with its rotating text below, and the question
// before quitting.
#include "ui_UMainForm.h"

#include "app/TLazyFrame.h"
#include "frames/UFrame_XYJP.h"
#include "frames/UFrame_XYLC.h"
#include "frames/UFrame_ZXTP.h"
#include "frames/UFrame_ZY.h"
#include "frames/UFrame_ZYWZ.h"
#include "frames/UFrame_ZYZJ.h"

#include <QRandomGenerator>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class TEndSessionRequest;
class TPaintBox;
class TStatusBar;
struct TRect;

class Tm_FormMain : public QWidget, public Ui::Tm_FormMain {
    Q_OBJECT
public:
    explicit Tm_FormMain(QWidget *parent = nullptr);
    ~Tm_FormMain() override;

    // The smallest outer size of the window, frame included.
    static QSize MinimumOuterSize() { return QSize(800, 580); }
    // The client size that keeps the outer size at least `outer` for a frame that adds `frameExtra`.
    static QSize MinimumClientSize(QSize outer, QSize frameExtra);

    static constexpr int kAdTextCount = 19;
    const QStringList &AdTexts() const { return m_strAdTexts; }

    // The session asks whether it may end (logoff, shutdown): the same question as any close
    // request; declining refuses the end of the session.
    void QueryEndSession(TEndSessionRequest &request);

    QTimer *m_Timer_DisplayAd;
    // The atlas frames, each on its page, built when first shown or asked for.
    TLazyFrame<Tm_Frame_ZY> m_Frame_ZY;
    TLazyFrame<Tm_Frame_ZYWZ> m_Frame_ZYWZ;
    TLazyFrame<Tm_Frame_XYLC> m_Frame_XYLC;
    TLazyFrame<Tm_Frame_ZXTP> m_Frame_ZXTP;
    TLazyFrame<Tm_Frame_XYJP> m_Frame_XYJP;
    TLazyFrame<Tm_Frame_ZYZJ> m_Frame_ZYZJ;

public slots:
    void SpeedButton8Click();
    void SpeedButton1Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton6Click();
    void SpeedButton7Click();
    void SpeedButton2Click();
    // Activates the frame on the page shown; nothing on the start page. A failing activation is
    // reported and leaves the page and the pressed button as they are.
    void m_PageControlChange();
    void m_Timer_DisplayAdTimer();
    void m_StatusBar_MainDrawPanel(TStatusBar *statusBar, int panel, const TRect &rect);
    void PaintBox5Paint(TPaintBox *sender);
    void PaintBox1Paint(TPaintBox *sender);
    void Image1Click();
    // Ctrl+Tab and Ctrl+Shift+Tab: the next or previous page, wrapping, start page included.
    void StepPage(int delta);

signals:
    // The window accepted a close request; the program's message loop ends on it.
    void FormClosed();

protected:
    void FormCreate();
    void FormCloseQuery(bool &CanClose);
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    // Shows a page from code: unlike the user's own page changes this raises no change event.
    void SetActivePage(QWidget *page);
    void OnCurrentPageChanged();
    void ApplyMinimumSize();
    void SetUpLook();
    void SetUpAnchors();
    void SetUpStatusBar();
    void NamePages();
    void ConnectEvents();

    QStringList m_strAdTexts;
    QRandomGenerator m_random;
    bool m_bSettingPage = false;
};
