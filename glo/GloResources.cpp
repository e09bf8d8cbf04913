#include "glo/GloResources.h"

#include "glo/TDeferredIconEngine.h"

#include <QtGlobal>

// At global scope: the macro declares the resource's registration function.
static void RegisterGloResources()
{
    Q_INIT_RESOURCE(glo);
}

void EnsureGloResources()
{
    static const bool registered = (RegisterGloResources(), true);
    Q_UNUSED(registered);
}

QIcon TavelinProgramIcon()
{
    EnsureGloResources();
    // Decoded when a window system first asks for a picture of it, not at every start.
    return QIcon(new TDeferredIconEngine([] {
        QIcon icon;
        for (int size : {16, 24, 32, 48, 64})
            icon.addFile(QStringLiteral(":/icons/tavelin-%1.png").arg(size), QSize(size, size));
        icon.addFile(QStringLiteral(":/icons/tavelin.png"), QSize(256, 256));
        return icon;
    }));
}
