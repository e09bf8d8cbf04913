#pragma once
// The end-session question as the session manager asks it.
#include "app/EndSessionRequest.h"

#include <QtGui/qtguiglobal.h>

#if QT_CONFIG(sessionmanager)
class QSessionManager;

class TSessionManagerRequest : public TEndSessionRequest {
public:
    explicit TSessionManagerRequest(QSessionManager &manager) : m_manager(manager) {}
    bool AllowsInteraction() override;
    void Cancel() override;

private:
    QSessionManager &m_manager;
};
#endif
