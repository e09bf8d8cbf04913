#include "frames/UFrame_ZYWZ.h"

TAtlasFrameConfig Tm_Frame_ZYWZ::Configuration()
{
    return ItemAtlasFrameConfig(QStringLiteral("ZYWZ"), QStringLiteral("列表:  共"), QStringLiteral("中医望诊图谱列表:"));
}

Tm_Frame_ZYWZ::Tm_Frame_ZYWZ(QWidget *owner) : TAtlasFrame(Configuration(), owner)
{
    m_ADOQuery_Library = m_ListQuery;
}
