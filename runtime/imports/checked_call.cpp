// What the checked call does when the stack pointer differs after a declared function returned.
#include "runtime/imports/checked_call.h"

#include "runtime/runtime_error.h"

extern "C" void DeclaredCallStackImbalance() { RaiseRuntimeError(ERR_STACK_IMBALANCE); }
