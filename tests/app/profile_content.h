// The bytes a server profile writes into one of its files, as a string to compare file contents
// with.
#pragma once

#include <string>

#include "app/server_profiles.h"

inline std::string Content(const ServerProfile& profile, int index) {
  ByteBlock block = profile.entries[static_cast<size_t>(index)].content;
  return std::string(reinterpret_cast<const char*>(ByteBlockData(block)), static_cast<size_t>(block->length));
}
