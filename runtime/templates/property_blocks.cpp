// Reading the property blocks of the four unit kinds.
#include "runtime/templates/property_blocks.h"

#include "runtime/byte_reader.h"

namespace {

// The version word; false for a version the kind does not know.
bool ReadVersion(ByteReader& r, int32_t& version, int32_t highest) {
  return r.ReadInt32(version) && version >= 1 && version <= highest;
}

}  // namespace

std::optional<WindowProperties> ReadWindowProperties(std::span<const unsigned char> block) {
  ByteReader r(block);
  WindowProperties p;
  if (!ReadVersion(r, p.version, WindowProperties::kHighestVersion)) return std::nullopt;
  bool ok = r.ReadInt32(p.borderStyle) && r.ReadInt32(p.wordA) && r.ReadUInt32(p.backColour) &&
            r.ReadInt32(p.maximiseBox) && r.ReadInt32(p.minimiseBox) && r.ReadInt32(p.controlBox) &&
            r.ReadInt32(p.startPosition) && r.ReadInt32(p.movable) && r.ReadInt32(p.soundPlayMode) &&
            r.ReadInt32(p.wordB) && r.ReadInt32(p.wordC) && r.ReadInt32(p.wordD) && r.ReadInt32(p.wordE);
  if (ok && p.version >= 2) ok = r.ReadInt32(p.shownInTaskbar);
  if (ok && p.version >= 3) ok = r.ReadInt32(p.wordF) && r.ReadInt32(p.wordG);
  if (ok && p.version >= 4) ok = r.ReadInt32(p.alwaysOnTop);
  if (ok && p.version >= 5) ok = r.ReadInt32(p.wordH);
  if (ok && p.version >= 6) ok = r.ReadSizedText(p.className);
  ok = ok && r.ReadSized(p.bytesJ) && r.ReadSized(p.icon) && r.ReadSized(p.sound) && r.ReadSizedText(p.title) &&
       r.ReadSizedText(p.textI);
  if (!ok) return std::nullopt;
  return p;
}

std::optional<ButtonProperties> ReadButtonProperties(std::span<const unsigned char> block) {
  ByteReader r(block);
  ButtonProperties p;
  if (!ReadVersion(r, p.version, ButtonProperties::kHighestVersion) || !r.ReadInt32(p.type) ||
      !r.ReadInt32(p.horizontalAlignment) || !r.ReadInt32(p.verticalAlignment) || !r.ReadSized(p.picture) ||
      !r.ReadSized(p.font.bytes) || !r.ReadSizedText(p.caption))
    return std::nullopt;
  return p;
}

std::optional<PictureBoxProperties> ReadPictureBoxProperties(std::span<const unsigned char> block) {
  ByteReader r(block);
  PictureBoxProperties p;
  if (!ReadVersion(r, p.version, PictureBoxProperties::kHighestVersion) || !r.ReadInt32(p.border) ||
      !r.ReadUInt32(p.backColour) || !r.ReadInt32(p.displayMode) || !r.ReadInt32(p.animate) ||
      !r.ReadSized(p.picture))
    return std::nullopt;
  if (p.version >= 2 && (!r.ReadSizedText(p.text1) || !r.ReadSizedText(p.text2))) return std::nullopt;
  return p;
}

std::optional<TransLabelProperties> ReadTransLabelProperties(std::span<const unsigned char> block) {
  ByteReader r(block);
  TransLabelProperties p;
  if (!ReadVersion(r, p.version, TransLabelProperties::kHighestVersion) || !r.ReadInt32(p.effect) ||
      !r.ReadUInt32(p.textColour) || !r.ReadInt32(p.horizontalAlignment) || !r.ReadInt32(p.verticalAlignment) ||
      !r.ReadInt32(p.wordWrap) || !r.ReadSized(p.font.bytes) || !r.ReadSizedText(p.caption))
    return std::nullopt;
  return p;
}
