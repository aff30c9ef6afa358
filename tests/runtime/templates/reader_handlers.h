// Handlers named by the reader test's window descriptions.
#pragma once

#include <cstdint>
#include <optional>

void OnWindowCreated();
int32_t OnButtonClick();
std::optional<int32_t> OnLeftDown(int32_t x, int32_t y, int32_t keys);
