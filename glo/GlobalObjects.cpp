#include "glo/GlobalObjects.h"

#include <memory>

CUserSecurityData *g_UserSecurityData = nullptr;
TFunParam *g_FunParam = nullptr;
TqelFunctionSet *g_FunctionSet = nullptr;

namespace {
// The owners behind the global pointers.
std::unique_ptr<CUserSecurityData> s_userSecurityData;
std::unique_ptr<TFunParam> s_funParam;
std::unique_ptr<TqelFunctionSet> s_functionSet;
} // namespace

void CreateGlobalObjects()
{
    s_userSecurityData = std::make_unique<CUserSecurityData>();
    g_UserSecurityData = s_userSecurityData.get();
    s_funParam = std::make_unique<TFunParam>();
    g_FunParam = s_funParam.get();
    s_functionSet = std::make_unique<TqelFunctionSet>();
    g_FunctionSet = s_functionSet.get();
}

void FreeGlobalObjects()
{
    g_UserSecurityData = nullptr;
    s_userSecurityData.reset();
    g_FunParam = nullptr;
    s_funParam.reset();
    g_FunctionSet = nullptr;
    s_functionSet.reset();
}
