// WriteBytesToFile.
#include "runtime/commands/file_commands.h"

#include <vector>

#include "runtime/file_replacement.h"
#include "runtime/wide_text.h"

void WriteBytesToFile(ValueCell* result, int32_t count, const ValueCell* arguments) {
  *result = BoolCell(false);
  if (count < 1 || arguments[0].type != TC_TEXT) return;
  std::vector<ByteBlock> blocks;
  for (int32_t i = 1; i < count; ++i) {
    if (arguments[i].type == TC_BYTES) blocks.push_back(static_cast<ByteBlock>(CellPointer(arguments[i])));
  }
  const TextValue path = static_cast<TextValue>(CellPointer(arguments[0]));
  FileSetReplacement replacement;
  const bool written = replacement.Stage(WideFromGbk(path ? path : ""), blocks) && replacement.Commit();
  *result = BoolCell(written);
}
