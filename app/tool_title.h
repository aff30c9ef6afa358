// The tool's window title, which its message boxes bear too (GBK).
#pragma once

inline constexpr char kToolTitle[] = "Quorv Varnel1018 支持互转";
