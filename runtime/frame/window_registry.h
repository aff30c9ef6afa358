// The program's window templates, read once at start-up with their handlers bound, and the
// windows loaded from them, each with its own copy of its units' records.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "runtime/templates/template_program.h"
#include "runtime/templates/window_template.h"

struct BoundEvent {
  int32_t event;
  EventHandler handler;  // null: the record names no handler
};

// A template's unit record with its handlers bound; the record's views point into the table.
struct TemplateUnit {
  UnitRecord record;
  std::vector<BoundEvent> events;
};

struct TemplateWindow {
  uint32_t id = 0;
  std::vector<TemplateUnit> units;  // the window unit first
};

// A loaded window's own copy of one unit record. `window` is the created unit, null before it
// is created and after it is destroyed.
struct LiveUnit {
  uint32_t id = 0;
  uint32_t type = 0;
  uint32_t link = 0;
  std::string name;
  std::string tag;
  int32_t left = 0, top = 0, width = 0, height = 0;
  uint32_t parentId = 0;
  int32_t flags = 0;
  std::vector<unsigned char> cursor;
  std::vector<BoundEvent> events;
  std::span<const unsigned char> properties;  // in the constant table, which outlives every window
  HWND window = nullptr;
};

struct LoadedWindow {
  uint32_t id = 0;
  std::vector<LiveUnit> units;  // the window unit first, then template order
  bool loaded = false;          // loading has finished: units raise events from their messages
  bool closing = false;         // the window is being destroyed
  bool modal = false;
  std::vector<HWND> disabledByModal;  // windows a modal load disabled, enabled again at its end
  HWND hwnd() const { return units.front().window; }
};

// Reads the program's table and binds every handler offset. False for a malformed table and
// for an offset the program's handler table does not hold (it would name no code).
bool ReadProgramTemplates(const TemplateProgram& program);
const TemplateWindow* FindTemplate(uint32_t windowId);

LoadedWindow* FindLoadedWindow(uint32_t windowId);
// Unit id 0 and the window unit's own id both name the window unit.
LiveUnit* FindLiveUnit(LoadedWindow& window, uint32_t unitId);
LoadedWindow& AddLoadedWindow(const TemplateWindow& source);
void RemoveLoadedWindow(uint32_t windowId);
bool AnyLoadedWindow();
// Ids of the loaded windows, for walks that may destroy windows on the way.
std::vector<uint32_t> LoadedWindowIds();

// The exit: destroys every loaded window and forgets the templates.
void ClearWindowTemplates();
