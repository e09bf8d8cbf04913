#include "frames/UFrame_XYLC.h"

TAtlasFrameConfig Tm_Frame_XYLC::Configuration()
{
    TAtlasFrameConfig c;
    c.atlasCode = QStringLiteral("XYLC");
    c.listQueryName = QStringLiteral("m_ADOQuery_Library");
    c.gridColumns = {{QStringLiteral("TypeName"), QStringLiteral("类别名称"), 60}, {QStringLiteral("ItemName"), QStringLiteral("图片名称"), 140}};
    c.searchColumnA = QStringLiteral("TypeName");
    c.searchColumnB = QStringLiteral("ItemName");
    c.countPrefix = QStringLiteral("临床图谱列表:  共");
    c.designCaption = QStringLiteral("西医临床图谱列表:");
    c.cellCount = 4;
    c.nameColumn = QStringLiteral("ItemName");
    c.nameLabelName = QStringLiteral("m_Label_CurrentItemName");
    c.nameLabelCaption = QStringLiteral("项目名称");
    c.transformed = true;
    c.displayButtonTop = 7;
    c.managed = false;
    return c;
}

Tm_Frame_XYLC::Tm_Frame_XYLC(QWidget *owner) : TAtlasFrame(Configuration(), owner)
{
    m_ADOQuery_Library = m_ListQuery;
}
