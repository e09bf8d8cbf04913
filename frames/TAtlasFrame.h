#pragma once
// The design all six atlas frames share: the entry list with its count and search box on the left,
// the thumbnail strip, the name bar and the preview with its view menu on the right.
#include "frames/TAtlasFrameConfig.h"
#include "platform/ErrorReport.h"
#include "ui_TAtlasFrameForm.h"

#include <QFrame>
#include <QVector>

class QAction;
class QMenu;
class TCatalogQuery;
class TDataSetGridModel;
class TImage;
class TThumbnailCache;

class TAtlasFrame : public QFrame, protected Ui::TAtlasFrameForm {
    Q_OBJECT
public:
    TAtlasFrame(const TAtlasFrameConfig &config, QWidget *owner = nullptr);
    ~TAtlasFrame() override;

    // Opens the list on the first call and shows the count; later calls change nothing.
    void ActivateFrame();

    const TAtlasFrameConfig &Config() const { return m_config; }
    TCatalogQuery *ListQuery() const { return m_ListQuery; }
    TCatalogQuery *PictureQuery() const { return m_ADOQuery_PIC; }
    bool ListOpened() const { return m_ListOpened; }
    QString ListSQLText() const { return m_ListSQLText; }
    TImage *Cell(int k) const; // 1-based
    TImage *Preview() const { return m_Image; }
    QLabel *NameLabel() const { return m_Label_CurrentName; }
    QMenu *ViewMenu() const { return m_PopupMenu; }
    // Where cells look for and keep their shrunk pictures: the user's cache unless set; null
    // for none.
    void SetThumbnailCache(TThumbnailCache *cache);
    TThumbnailCache *ThumbnailCache() const { return m_thumbnailCache; }

public slots:
    void m_Edit_ZYPinYinChange();
    void m_Button_DisplayPicClick();
    void m_Image1Click();
    void m_DBGrid_ZYDblClick();
    void m_Button_ViewClick();
    void N2Click();

signals:
    // A double-click anywhere on the entry list's rows area, rows or not.
    void GridDoubleClicked();

protected:
    // Loads the current entry's slots into the cells; the miscellaneous atlas's command reuses it.
    void LoadThumbnails(bool closePictureQueryAfter);
    void EmptyCells();
    // The count label: the prefix, the number of entries and "条"; the list says it too.
    void ShowCount(int count);
    // Runs a handler, sending an escaping error to the standard error report.
    template <typename F> void Guarded(F &&f)
    {
        try {
            f();
        } catch (const std::exception &e) {
            ReportError(e);
        }
    }
    bool eventFilter(QObject *watched, QEvent *event) override;

    TAtlasFrameConfig m_config;
    QString m_ListSQLText;
    bool m_ListOpened = false;
    TCatalogQuery *m_ListQuery = nullptr;
    TCatalogQuery *m_ADOQuery_PIC = nullptr;
    TDataSetGridModel *m_DataSource_ZYDrug = nullptr;
    QVector<TImage *> m_cells;
    QMenu *m_PopupMenu = nullptr;
    QAction *N2 = nullptr;

private:
    void SetUpLook();
    void BindGrid();
    bool m_syncingSelection = false;
    TThumbnailCache *m_thumbnailCache = nullptr;
    bool m_bRemovingRows = false;
};
