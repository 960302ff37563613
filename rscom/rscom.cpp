// The real line library: COM1 ... COM5 on the system's serial ports, DTR and the TxD break
// driven through the device's own handle. It uses no Qt, so that any program can load it.
#include "rscom.h"

#include "module.h"

namespace {

rscom::Module &module()
{
    static rscom::Module m("/sys/class/tty", "/dev");
    return m;
}

} // namespace

extern "C" {

int16_t OPENCOM(const char *settings)
{
    return module().OPENCOM(settings);
}

void DTR(int32_t level)
{
    module().DTR(level);
}

void TXD(int32_t level)
{
    module().TXD(level);
}

int16_t CLOSECOM(void)
{
    return module().CLOSECOM();
}

int32_t PORTINFO(int32_t n, char *text, int32_t size)
{
    return module().PORTINFO(n, text, size);
}

} // extern "C"
