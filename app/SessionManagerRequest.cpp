#include "app/SessionManagerRequest.h"

#if QT_CONFIG(sessionmanager)
#include <QSessionManager>

bool TSessionManagerRequest::AllowsInteraction()
{
    return m_manager.allowsInteraction();
}

void TSessionManagerRequest::Cancel()
{
    m_manager.cancel();
}
#endif
