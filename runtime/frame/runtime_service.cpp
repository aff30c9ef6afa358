// The numbered service entry: each number hands its arguments, as the words they are, to the
// runtime routine it names.
#include "runtime/frame/runtime_service.h"

#include "runtime/frame/runtime_state.h"
#include "runtime/runtime_error.h"
#include "runtime/value_helpers.h"

int32_t RuntimeService(int32_t number, intptr_t first, intptr_t second) {
  switch (number) {
    case SERVICE_COPY_CONSTANT_ARRAY:
      CopyConstantArray(static_cast<int32_t>(first), reinterpret_cast<ArrayHeader**>(second));
      return 1;
    case SERVICE_SET_EXIT_ROUTINE:
      SetExitRoutine(reinterpret_cast<ExitRoutine>(first));
      return 1;
    case SERVICE_INITIALISE:
      if (first) InitialiseRuntime(*reinterpret_cast<const TemplateProgram*>(first));
      return 1;
  }
  return 0;
}
