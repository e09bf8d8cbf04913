#include "cli/CatalogCommands.h"
#include "platform/PictureMemory.h"

#include <QGuiApplication>

int main(int argc, char **argv)
{
    // Pictures are drawn and encoded without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    PictureMemory::KeepForReuse();
    QGuiApplication app(argc, argv);
#ifdef TAVELIN_VERSION
    QCoreApplication::setApplicationVersion(QStringLiteral(TAVELIN_VERSION));
#endif
    return CatalogTool::Run(app.arguments().mid(1));
}
