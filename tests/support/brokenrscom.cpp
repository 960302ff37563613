// A line library that lacks TXD, for the loader's missing-symbol path.
#include "rscom.h"

extern "C" {
RSCOM_EXPORT int16_t OPENCOM(const char *)
{
    return 1;
}
RSCOM_EXPORT void DTR(int32_t) { }
}
