// SwitchToLiveServer and SwitchToTestServer, and the all-or-nothing profile write under them.
#include "app/switch_actions.h"

#include <windows.h>

#include <span>

#include "runtime/system_text.h"

namespace {

constexpr char kWindowTitle[] = "Quorv Varnel1018 支持互转";

void SwitchTo(const ServerProfile& profile) {
  const SwitchOutcome outcome = ApplyServerProfile(profile);
  if (outcome.switched) return;
  ShowMessageBox(GetActiveWindow(), SwitchFailureText(outcome.failedFile), kWindowTitle, MB_OK | MB_ICONWARNING);
}

}  // namespace

SwitchOutcome ApplyServerProfile(const ServerProfile& profile, MoveFileFunction move) {
  FileSetReplacement replacement(move);
  for (const ProfileEntry& entry : profile.entries) {
    if (!replacement.Stage(entry.fileName, std::span(&entry.content, 1))) break;
  }
  if (replacement.Commit()) return {true, nullptr};
  return {false, profile.entries[static_cast<size_t>(replacement.failedIndex())].fileName};
}

std::string SwitchFailureText(TextValue fileName) {
  return std::string("无法写入“") + (fileName ? fileName : "") + "”，三个文件都没有改动！\r\n" +
         "请关闭飞车客户端，确认文件不是只读的，再转换一次。";
}

void SwitchToLiveServer() { SwitchTo(LiveServerProfile); }
void SwitchToTestServer() { SwitchTo(TestServerProfile); }
