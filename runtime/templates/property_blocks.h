// The property blocks at the end of unit records, for the window, button, picture box and
// transparent label kinds. Integers are int32; "bytes" and "text" fields are an int32 length and
// that many bytes (texts are GBK without a NUL); a font is an int32 size and that many bytes,
// a logical font when the size is 60. Each block starts with its version; a version above the
// kind's highest is rejected, and fields newer than the stored version take their defaults.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

constexpr uint32_t kSystemButtonFace = 0xFF000000;  // colour value standing for COLOR_BTNFACE
constexpr int32_t kLogicalFontSize = 60;            // sizeof(LOGFONTA)

struct FontField {
  std::span<const unsigned char> bytes;  // a LOGFONTA when it is 60 bytes long
  bool isLogicalFont() const { return bytes.size() == kLogicalFontSize; }
};

struct WindowProperties {
  static constexpr int32_t kHighestVersion = 6;
  int32_t version = 6;
  int32_t borderStyle = 2;
  int32_t wordA = 1;
  uint32_t backColour = kSystemButtonFace;
  int32_t maximiseBox = 0;
  int32_t minimiseBox = 0;
  int32_t controlBox = 1;
  int32_t startPosition = 1;
  int32_t movable = 1;
  int32_t soundPlayMode = 0;
  int32_t wordB = 0, wordC = 1, wordD = 0, wordE = 0;
  int32_t shownInTaskbar = 1;      // from version 2
  int32_t wordF = 0, wordG = 0;    // from version 3
  int32_t alwaysOnTop = 0;         // from version 4
  int32_t wordH = 0;               // from version 5
  std::string_view className;      // from version 6; empty: "WTWindow"
  std::span<const unsigned char> bytesJ;
  std::span<const unsigned char> icon;
  std::span<const unsigned char> sound;
  std::string_view title;
  std::string_view textI;
};

struct ButtonProperties {
  static constexpr int32_t kHighestVersion = 1;
  int32_t version = 1;
  int32_t type = 0;  // 1: default push button
  int32_t horizontalAlignment = 1;
  int32_t verticalAlignment = 1;
  std::span<const unsigned char> picture;
  FontField font;
  std::string_view caption = "按钮";
};

struct PictureBoxProperties {
  static constexpr int32_t kHighestVersion = 2;
  int32_t version = 2;
  int32_t border = 0;
  uint32_t backColour = kSystemButtonFace;
  int32_t displayMode = 0;  // 0 top-left, 1 stretched, 2 centred and shrunk to fit, 3 animated
  int32_t animate = 1;
  std::span<const unsigned char> picture;
  std::string_view text1, text2;  // from version 2
};

struct TransLabelProperties {
  static constexpr int32_t kHighestVersion = 1;
  int32_t version = 1;
  int32_t effect = 0;  // 0 none, 1 white shadow, 2 white copy under a moved text, 3 black shadow
  uint32_t textColour = 0;
  int32_t horizontalAlignment = 0;
  int32_t verticalAlignment = 1;
  int32_t wordWrap = 0;
  FontField font;
  std::string_view caption = "透明标签";
};

std::optional<WindowProperties> ReadWindowProperties(std::span<const unsigned char> block);
std::optional<ButtonProperties> ReadButtonProperties(std::span<const unsigned char> block);
std::optional<PictureBoxProperties> ReadPictureBoxProperties(std::span<const unsigned char> block);
std::optional<TransLabelProperties> ReadTransLabelProperties(std::span<const unsigned char> block);
