// The one entry through which the program's main routine reaches three services of the runtime
// by number: start-up, the exit routine, and the copy of a constant array before its first
// change.
#pragma once

#include <cstdint>

enum RuntimeServiceNumber : int32_t {
  SERVICE_COPY_CONSTANT_ARRAY = 2,  // (element size, address of the array variable)
  SERVICE_SET_EXIT_ROUTINE = 3,     // (the routine, -)
  SERVICE_INITIALISE = 6,           // (the program's window templates, -)
};

// Runs the numbered service with its arguments. Gives back 1 when the number names a service,
// 0 (and does nothing) when it names none.
int32_t RuntimeService(int32_t number, intptr_t first, intptr_t second);
