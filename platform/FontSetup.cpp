#include "platform/FontSetup.h"

#include <QStringList>

namespace {
const char *const kSerifCjkFace = "Noto Serif CJK SC";
}

void InstallFontSubstitutions()
{
    const QString face = QString::fromLatin1(kSerifCjkFace);
    for (const QString &song : {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("新宋体")}) {
        if (!QFont::substitutes(song).contains(face))
            QFont::insertSubstitution(song, face);
    }
}

QFont SongFont(int pixelSize)
{
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(pixelSize);
    return f;
}
