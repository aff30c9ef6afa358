// Looking up handlers by their stored offsets.
#include "runtime/templates/template_program.h"

EventHandler HandlerAtOffset(const TemplateProgram& program, int32_t offset) {
  if (offset == -1) return nullptr;
  for (const EventHandlerEntry& entry : program.handlers)
    if (entry.offset == offset) return entry.handler;
  return nullptr;
}
