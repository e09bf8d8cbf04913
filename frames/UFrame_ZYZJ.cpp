#include "frames/UFrame_ZYZJ.h"

TAtlasFrameConfig Tm_Frame_ZYZJ::Configuration()
{
    return ItemAtlasFrameConfig(QStringLiteral("ZYZJ"), QStringLiteral("针灸图谱列表:  共"), QStringLiteral("针灸图谱列表:"));
}

Tm_Frame_ZYZJ::Tm_Frame_ZYZJ(QWidget *owner) : TAtlasFrame(Configuration(), owner)
{
    m_ADOQuery_Library = m_ListQuery;
}
