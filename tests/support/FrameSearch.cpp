#include "support/FrameSearch.h"

#include "data/CatalogSchema.h"
#include "frames/SearchStatement.h"
#include "frames/UFrame_XYJP.h"
#include "frames/UFrame_XYLC.h"
#include "frames/UFrame_ZXTP.h"
#include "frames/UFrame_ZY.h"
#include "frames/UFrame_ZYWZ.h"
#include "frames/UFrame_ZYZJ.h"
#include "platform/TavelinError.h"

namespace TestSupport {

TAtlasFrameConfig FrameConfiguration(const QString &atlasCode)
{
    for (const TAtlasFrameConfig &c : {Tm_Frame_ZY::Configuration(), Tm_Frame_ZYZJ::Configuration(),
                                       Tm_Frame_ZYWZ::Configuration(), Tm_Frame_XYJP::Configuration(),
                                       Tm_Frame_XYLC::Configuration(), Tm_Frame_ZXTP::Configuration()})
        if (c.atlasCode == atlasCode)
            return c;
    throw TavelinError(QStringLiteral("no frame browses the atlas %1").arg(atlasCode));
}

QStringList SearchStatementFor(const QString &atlasCode, const QString &searchText)
{
    const TAtlasDef *atlas = CatalogSchema::FindAtlas(atlasCode);
    if (!atlas)
        throw TavelinError(QStringLiteral("unknown atlas %1").arg(atlasCode));
    const TAtlasFrameConfig frame = FrameConfiguration(atlasCode);
    return SearchStatement::SearchLines(atlas->listSql, frame.searchColumnA, frame.searchColumnB, searchText);
}

} // namespace TestSupport
