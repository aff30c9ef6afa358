// Runtime commands on files, in the command form (result cell, argument count, argument cells)
// and as typed calls for the program's own code.
#pragma once

#include <initializer_list>

#include "runtime/value.h"

// Arguments: text path, then byte blocks. Result: bool. The target is replaced whole or not at
// all; an empty path writes nothing and gives false.
void WriteBytesToFile(ValueCell* result, int32_t count, const ValueCell* arguments);

bool WriteBytesToFile(TextValue path, std::initializer_list<ByteBlock> blocks);
