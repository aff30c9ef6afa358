// The constant arrays of the program's ImportTable (DLL names and function names, in the constant
// range), made from the declaration table, and compile-time checks of the table's shape.
#include <iterator>
#include <string_view>

#include "runtime/constant_segment.h"
#include "runtime/imports/import_table.h"

namespace {

// Every text of the table in one constant object.
struct DeclarationTexts {
#define DECLARATION(k, dll, name, suffix, result, parameters) \
  char dllName##k[sizeof(dll)];                               \
  char functionName##k[sizeof(#name)];
#include "runtime/imports/declarations.inc"
#undef DECLARATION
};

RUNTIME_CONSTANT constexpr DeclarationTexts texts = {
#define DECLARATION(k, dll, name, suffix, result, parameters) dll, #name,
#include "runtime/imports/declarations.inc"
#undef DECLARATION
};

constexpr int32_t rowIndices[] = {
#define DECLARATION(k, dll, name, suffix, result, parameters) k,
#include "runtime/imports/declarations.inc"
#undef DECLARATION
};

}  // namespace

RUNTIME_CONSTANT constexpr const char* DeclaredDllNames[] = {
#define DECLARATION(k, dll, name, suffix, result, parameters) texts.dllName##k,
#include "runtime/imports/declarations.inc"
#undef DECLARATION
};

RUNTIME_CONSTANT constexpr const char* DeclaredFunctionNames[] = {
#define DECLARATION(k, dll, name, suffix, result, parameters) texts.functionName##k,
#include "runtime/imports/declarations.inc"
#undef DECLARATION
};

namespace {

constexpr bool RowsAreNumberedInOrder() {
  for (int32_t i = 0; i < kDeclaredFunctionCount; ++i) {
    if (rowIndices[i] != i) return false;
  }
  return true;
}

constexpr int32_t CountDeclaredIn(std::string_view dll) {
  int32_t n = 0;
  for (const char* name : DeclaredDllNames) n += (dll == name) ? 1 : 0;
  return n;
}

constexpr int32_t CountDistinctFunctionNames() {
  int32_t distinct = 0;
  for (int32_t i = 0; i < kDeclaredFunctionCount; ++i) {
    bool seenBefore = false;
    for (int32_t j = 0; j < i && !seenBefore; ++j) {
      seenBefore = std::string_view(DeclaredFunctionNames[i]) == DeclaredFunctionNames[j];
    }
    distinct += seenBefore ? 0 : 1;
  }
  return distinct;
}

// Every DLL spelling of the table and how many declarations use it; together they make up the
// whole table, so no other spelling can slip in.
struct SpellingCount {
  std::string_view dll;
  int32_t declarations;
};
constexpr SpellingCount spellings[] = {
    {"gdiplus", 455},      {"GdiPlus.dll", 16}, {"gdiplus.dll", 6},  {"Gdiplus.dll", 2},
    {"user32", 24},        {"user32.dll", 17},  {"kernel32", 13},    {"kernel32.dll", 5},
    {"gdi32.dll", 9},      {"gdi32", 6},        {"Gdi32", 1},        {"ole32.dll", 4},
    {"comctl32.dll", 1},   {"COMCTL32.DLL", 1}, {"shlwapi.dll", 1},  {"msimg32.dll", 1},
    {"", 21},
};

constexpr bool SpellingsCountAsListed() {
  int32_t total = 0;
  for (const SpellingCount& s : spellings) {
    if (CountDeclaredIn(s.dll) != s.declarations) return false;
    total += s.declarations;
  }
  return total == kDeclaredFunctionCount;
}

static_assert(kDeclaredFunctionCount == 583, "the table holds 583 declarations");
static_assert(std::size(rowIndices) == 583);
static_assert(RowsAreNumberedInOrder(), "row K must be the K-th row, counting from 0");
static_assert(SpellingsCountAsListed(), "DLL spellings and their counts");
static_assert(CountDistinctFunctionNames() == 556, "556 distinct function names");
static_assert(std::string_view(DeclaredFunctionNames[1]) == "LoadIconA" &&
                  std::string_view(DeclaredFunctionNames[2]) == "LoadIconA" &&
                  std::string_view(DeclaredDllNames[1]) == "user32.dll" &&
                  std::string_view(DeclaredDllNames[2]) == "user32.dll",
              "declarations 1 and 2 are both LoadIconA of user32.dll");

}  // namespace
