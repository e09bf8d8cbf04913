#pragma once
// What one atlas frame states of its own; everything else the six frames share.
#include "data/TDataSetGridModel.h"

#include <QString>
#include <QVector>

struct TAtlasFrameConfig {
    QString atlasCode;        // which atlas's statements the queries run
    QString listQueryName;    // m_ADOQuery_ZYLibrary or m_ADOQuery_Library
    QVector<TGridColumn> gridColumns;
    QString searchColumnA;
    QString searchColumnB;
    QString countPrefix;      // followed by the count and "条"
    QString designCaption;    // m_Label before the first activation
    int cellCount = 4;
    QString nameColumn;       // shown in the name bar after loading
    QString nameLabelName;    // m_Label_CurrentDrugName or m_Label_CurrentItemName
    QString nameLabelCaption; // "药物名称" or "项目名称"
    int displayButtonTop = 7;
    bool managed = false;     // the miscellaneous atlas: management button instead of the display button
};

// The row shared by the frames whose entries carry a category (TypeName) and an item name (ItemName):
// everything but the atlas, the count prefix and the design caption.
TAtlasFrameConfig ItemAtlasFrameConfig(const QString &atlasCode, const QString &countPrefix, const QString &designCaption);
