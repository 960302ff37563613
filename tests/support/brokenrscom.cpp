// The simulated line library without TXD, for a module that lacks one function.
#define SIM_WITHOUT_TXD
#include "simrscom.cpp"
