// A picture file loaded and decoded under every option combination and scale.
#include "FuzzMain.h"
#include "support/FuzzHarness.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzMain::StartApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzMain::Require(FuzzHarness::JpegPicture(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))));
    return 0;
}
