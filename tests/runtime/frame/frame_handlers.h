// Handlers named by the frame tests' window descriptions. Record<N> notes that event N ran and
// answers what the test asked it to answer for N.
#pragma once

#include <cstdint>
#include <optional>

std::optional<int32_t> RecordEvent(int32_t event, int32_t a, int32_t b, int32_t c);

template <int32_t Event>
std::optional<int32_t> Record(int32_t a, int32_t b, int32_t c) {
  return RecordEvent(Event, a, b, c);
}

void DestroyOnCreate();
void StartModalCheck();
void PokeWhileLoading();
