#include "frames/UFrame_XYJP.h"

TAtlasFrameConfig Tm_Frame_XYJP::Configuration()
{
    return ItemAtlasFrameConfig(QStringLiteral("XYJP"), QStringLiteral("解剖图谱列表:  共"), QStringLiteral("西医解剖图谱列表:"));
}

Tm_Frame_XYJP::Tm_Frame_XYJP(QWidget *owner) : TAtlasFrame(Configuration(), owner)
{
    m_ADOQuery_Library = m_ListQuery;
}
