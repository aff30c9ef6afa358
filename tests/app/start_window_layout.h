// Where the start window's units lie, as its template places them at 96 DPI: what the tests of the
// real tool expect to find, scaled by the display's DPI.
#pragma once

#include <windows.h>

// The start window's client area, in pixels at 96 DPI.
inline constexpr int kStartWindowWidth = 361, kStartWindowHeight = 318;

struct UnitPlace {
  const wchar_t* text;  // window text; null for the picture box
  RECT rect;            // left, top, right, bottom in the window's client area
};

// Template order is stacking order: the first unit lies on top. The three buttons, which do not
// overlap, come in reading order, which is the order Tab walks them.
inline constexpr UnitPlace kUnitsTopToBottom[] = {
    {L"正服转体验服", {8, 176, 176, 232}},
    {nullptr, {8, 240, 216, 304}},
    {L"体验服转正服", {176, 176, 344, 232}},
    {L"打开Dostren论坛", {216, 240, 344, 304}},
    {L"先把转换器放到飞车目录里", {56, 32, 328, 64}},
    {L"转换前 请先到官网下载最新的飞车版本！！再转换！！~~(本来想12月后更新的，但是...还是定期更吧)，如果是已是最新版本，直接使用！",
     {24, 64, 328, 192}},
};
