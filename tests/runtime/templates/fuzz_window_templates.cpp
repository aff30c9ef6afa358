// libFuzzer entry: any bytes read as a window template table, and every unit's property block
// read as each of the four kinds. Under the sanitizers a read past the input is a failure.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "runtime/templates/property_blocks.h"
#include "runtime/templates/window_template.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const unsigned char> bytes(data, size);
  const auto windows = ReadWindowTemplates(bytes);
  ReadWindowProperties(bytes);
  ReadButtonProperties(bytes);
  ReadPictureBoxProperties(bytes);
  ReadTransLabelProperties(bytes);
  if (!windows) return 0;
  for (const WindowTemplate& window : *windows)
    for (const UnitRecord& unit : window.units) {
      ReadWindowProperties(unit.properties);
      ReadButtonProperties(unit.properties);
      ReadPictureBoxProperties(unit.properties);
      ReadTransLabelProperties(unit.properties);
    }
  return 0;
}
