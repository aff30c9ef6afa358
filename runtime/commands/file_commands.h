// The runtime command that writes a file, in the command form (result cell, argument count,
// argument cells); the program's code calls it as Commands::WriteBytesToFile.
#pragma once

#include "runtime/value.h"

// Arguments: text path, then byte blocks. Result: bool. The target is replaced whole or not at
// all; an empty path writes nothing and gives false. The path is GBK text of any length; a
// relative one resolves against the current directory.
void WriteBytesToFile(ValueCell* result, int32_t count, const ValueCell* arguments);
