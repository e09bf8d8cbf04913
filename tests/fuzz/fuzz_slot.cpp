// A stored picture slot of a built-in atlas: the transform reversed, then decoded at 1/8.
#include "FuzzMain.h"
#include "support/FuzzHarness.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzMain::StartApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzMain::Require(FuzzHarness::PictureSlot(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))));
    return 0;
}
