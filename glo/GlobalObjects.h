#pragma once
// The program-wide shared objects, created by start-up before any window exists and freed after the
// last window is gone.
#include "glo/CUserSecurityData.h"
#include "glo/TFunParam.h"
#include "glo/TqelFunctionSet.h"

extern CUserSecurityData *g_UserSecurityData;
extern TFunParam *g_FunParam;
extern TqelFunctionSet *g_FunctionSet;

// Creates g_UserSecurityData, g_FunParam (reset) and g_FunctionSet, in this order.
void CreateGlobalObjects();
// Frees them in the same order and leaves the three pointers null.
void FreeGlobalObjects();
