// The line library's C interface, fixed so that any program can load the module at run time.
// This program resolves OPENCOM, DTR and TXD, each on its own; CLOSECOM it never calls.
#pragma once

#include <stdint.h>

#if defined(_WIN32)
#define RSCOM_EXPORT __declspec(dllexport)
#else
#define RSCOM_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Opens the port named by "COM1,1200,N,8,1" ... "COM5,1200,N,8,1". Nonzero: open.
RSCOM_EXPORT int16_t OPENCOM(const char *settings);
// Asserts DTR for a nonzero level, clears it for 0.
RSCOM_EXPORT void DTR(int32_t level);
// Holds TxD in break for a nonzero level, releases it for 0.
RSCOM_EXPORT void TXD(int32_t level);
// Closes the open port. Nonzero: a port was closed.
RSCOM_EXPORT int16_t CLOSECOM(void);

#ifdef __cplusplus
}
#endif
