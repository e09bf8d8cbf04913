#pragma once
// A frame's search as the frame itself builds it, for tests of what the catalogues answer to it.
#include "frames/TAtlasFrameConfig.h"

#include <QString>
#include <QStringList>

namespace TestSupport {

// The configuration of the frame that browses the atlas with this code.
TAtlasFrameConfig FrameConfiguration(const QString &atlasCode);

// The lines of the atlas's list statement for the text the search box hands over (already
// normalised): the list itself when it is empty.
QStringList SearchStatementFor(const QString &atlasCode, const QString &searchText);

} // namespace TestSupport
