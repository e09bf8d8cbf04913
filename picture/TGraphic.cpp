#include "picture/TGraphic.h"

#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"

#include <QFile>

void TGraphic::LoadFromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TavelinError(QStringLiteral("Cannot open the picture file %1: %2").arg(path, file.errorString()));
    TMemoryStream stream;
    stream.SetBytes(file.readAll());
    if (file.error() != QFileDevice::NoError)
        throw TavelinError(QStringLiteral("Cannot read the picture file %1: %2").arg(path, file.errorString()));
    stream.SetPosition(0);
    LoadFromStream(stream);
}
