#pragma once
#include "frames/TAtlasFrame.h"

class Tm_Frame_ZY : public TAtlasFrame {
    Q_OBJECT
public:
    explicit Tm_Frame_ZY(QWidget *owner = nullptr);
    static TAtlasFrameConfig Configuration();

    TCatalogQuery *m_ADOQuery_ZYLibrary;
    // The herbs' other names are a memo: the grid shows its full text.
    void m_ADOQuery_ZYLibraryOtherNameGetText(const QVariant &value, QString &text, bool displayText);
};
