#pragma once
// The miscellaneous atlas: the user's own pictures, with a management menu to show an entry's
// pictures, import JPEG files, rename the category or the picture, and delete an entry.
#include "frames/TAtlasFrame.h"

#include <QStringList>

class QFileDialog;

class Tm_Frame_ZXTP : public TAtlasFrame {
    Q_OBJECT
public:
    explicit Tm_Frame_ZXTP(QWidget *owner = nullptr);
    static TAtlasFrameConfig Configuration();

    // The folder the confirmation names: the first file's folder without a closing separator,
    // except a drive's (or the file system's) root, which keeps it.
    static QString ImportFolderOf(const QString &firstFile);
    static QString ImportConfirmationText(const QString &folder, int count, const QString &category);
    static QString ImportReportText(int chosen, int imported);

    TCatalogQuery *m_ADOQuery_Library;
    QPushButton *m_Button_ManagePicture;
    QMenu *m_PopupMenu_ManagePicture;
    QAction *m_MenuItem_DisplayDescriblePicture;
    QAction *N6;
    QAction *JPG1;
    QAction *N3;
    QAction *N8;
    QAction *N9;
    QAction *N5;
    QAction *N7;
    QAction *N1;
    QAction *N4;
    QFileDialog *m_OpenDialog;

public slots:
    void m_Button_ManagePictureClick();
    void m_MenuItem_DisplayDescriblePictureClick();
    void JPG1Click();
    void N8Click();
    void N9Click();
    void N7Click();
    void m_DBGrid_ZYDblClick();

public:
    // Stores the chosen files as new entries; returns how many were stored. The import command's
    // work after its questions; public so the import benchmark can run it without the dialogs.
    int ImportFiles(const QStringList &files, const QString &category);

private:
    bool ListHasRows() const;
};
