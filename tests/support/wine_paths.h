// Files of the build, named by CMake with their Unix paths, as the Windows programs under test
// reach them: through Wine's drive Z:, which is the Unix root.
#pragma once

#include <string>

template <class Char>
std::basic_string<Char> WinePathOf(const Char* unixPath) {
  std::basic_string<Char> path{Char('Z'), Char(':')};
  for (const Char* c = unixPath; *c; ++c) path += *c == Char('/') ? Char('\\') : *c;
  return path;
}
