#include "frames/TAtlasFrameConfig.h"

TAtlasFrameConfig ItemAtlasFrameConfig(const QString &atlasCode, const QString &countPrefix, const QString &designCaption)
{
    TAtlasFrameConfig c;
    c.atlasCode = atlasCode;
    c.listQueryName = QStringLiteral("m_ADOQuery_Library");
    c.gridColumns = {{QStringLiteral("TypeName"), QStringLiteral("类别名称"), 60},
                     {QStringLiteral("ItemName"), QStringLiteral("图片名称"), 140}};
    c.searchColumnA = QStringLiteral("TypeName");
    c.searchColumnB = QStringLiteral("ItemName");
    c.countPrefix = countPrefix;
    c.designCaption = designCaption;
    c.cellCount = 4;
    c.nameColumn = QStringLiteral("ItemName");
    c.nameLabelName = QStringLiteral("m_Label_CurrentItemName");
    c.nameLabelCaption = QStringLiteral("项目名称");
    c.displayButtonTop = 7;
    c.managed = false;
    return c;
}
