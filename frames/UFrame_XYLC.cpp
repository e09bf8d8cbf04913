#include "frames/UFrame_XYLC.h"

TAtlasFrameConfig Tm_Frame_XYLC::Configuration()
{
    return ItemAtlasFrameConfig(QStringLiteral("XYLC"), QStringLiteral("临床图谱列表:  共"), QStringLiteral("西医临床图谱列表:"));
}

Tm_Frame_XYLC::Tm_Frame_XYLC(QWidget *owner) : TAtlasFrame(Configuration(), owner)
{
    m_ADOQuery_Library = m_ListQuery;
}
