#pragma once
// The user security record; it creates the user environment object when it is created. Nothing
// reads either yet; start-up creates it first of the shared objects.
#include "glo/TGloUserEnvObject.h"

#include <memory>

class CUserSecurityData {
public:
    CUserSecurityData() : m_pUserEnv(std::make_unique<TGloUserEnvObject>()) {}
    const TGloUserEnvObject &UserEnv() const { return *m_pUserEnv; }

private:
    std::unique_ptr<TGloUserEnvObject> m_pUserEnv;
};
