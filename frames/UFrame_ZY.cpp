#include "frames/UFrame_ZY.h"

TAtlasFrameConfig Tm_Frame_ZY::Configuration()
{
    TAtlasFrameConfig c;
    c.atlasCode = QStringLiteral("ZY");
    c.listQueryName = QStringLiteral("m_ADOQuery_ZYLibrary");
    c.gridColumns = {{QStringLiteral("DrugName"), QStringLiteral("中药名称"), 60}, {QStringLiteral("OtherName"), QStringLiteral("中药别名"), 140}};
    c.searchColumnA = QStringLiteral("DrugName");
    c.searchColumnB = QStringLiteral("OtherName");
    c.countPrefix = QStringLiteral("中药列表:  共");
    c.designCaption = QStringLiteral("中药图谱列表:");
    c.cellCount = 7;
    c.nameColumn = QStringLiteral("DrugName");
    c.nameLabelName = QStringLiteral("m_Label_CurrentDrugName");
    c.nameLabelCaption = QStringLiteral("药物名称");
    c.displayButtonTop = 10;
    c.managed = false;
    return c;
}

Tm_Frame_ZY::Tm_Frame_ZY(QWidget *owner) : TAtlasFrame(Configuration(), owner)
{
    m_ADOQuery_ZYLibrary = m_ListQuery;
    m_DataSource_ZYDrug->SetGetText(QStringLiteral("OtherName"), [this](const QVariant &value) {
        QString text;
        m_ADOQuery_ZYLibraryOtherNameGetText(value, text, true);
        return text;
    });
}

void Tm_Frame_ZY::m_ADOQuery_ZYLibraryOtherNameGetText(const QVariant &value, QString &text, bool)
{
    text = value.isNull() ? QString() : value.toString();
}
