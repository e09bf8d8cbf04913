#pragma once
// The picture viewer: a modeless top-level window that shows its own copy of one picture at the
// picture's own size, changes how a JPEG picture is decoded, prints the picture fitted to the page
// and can replace it by a picture file. It destroys itself, with its copy, when it is closed.
#include "ui_UGLOPictureViewDlg.h"

#include <QWidget>
#include <memory>

class QPrinter;
class TGraphic;
class TPicture;

class Tm_GLOPictureViewDlg : public QWidget, private Ui::Tm_GLOPictureViewDlg {
    Q_OBJECT
public:
    // Copies the picture (which may be absent), applies the option lists to it and fits the window
    // to it; a failure there is swallowed and the window opens with what was done. Created hidden:
    // callers show it.
    explicit Tm_GLOPictureViewDlg(const TGraphic *picture = nullptr);
    explicit Tm_GLOPictureViewDlg(const TPicture &picture);
    ~Tm_GLOPictureViewDlg() override;

    // The printer the print and printer setup dialogs work on; kept so a setup applies to the next print.
    QPrinter &Printer();
    // Prints the picture as currently decoded, stretched to the largest size with its aspect ratio
    // that fits the printable area, at the area's top-left corner. The job is ended also when
    // drawing fails; the error then goes on to the caller.
    void PrintPicture(QPrinter &printer);

public slots:
    void SetJPEGOptions();
    void ScaleClick();
    void FitWindowToPicture();
    void LoadPictureFile(const QString &fileName);

    void m_Button_OpenPicFileClick();
    void m_Button_PrintClick();
    void Print1Click();
    void N4Click();
    void m_Button_ExitClick();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void FormClose();
    bool HasPicture() const;
    // Sets the window's outer size (frame included) as far as the frame can be measured.
    void SetOuterSize(const QSize &outer);
    int CaptionHeight() const;
    int ToolBarHeight() const;

    std::unique_ptr<QPrinter> m_Printer;
    bool m_bCentredOnFirstShow = false;
    QSize m_PendingOuterSize; // the outer size asked for while the window's frame was not known yet
    bool m_bFramed = false;   // the window manager's frame has been measured
};
