#pragma once
#include "frames/TAtlasFrame.h"

class Tm_Frame_XYJP : public TAtlasFrame {
    Q_OBJECT
public:
    explicit Tm_Frame_XYJP(QWidget *owner = nullptr);
    static TAtlasFrameConfig Configuration();

    TCatalogQuery *m_ADOQuery_Library;
};
