// SwitchToLiveServer and SwitchToTestServer, and the all-or-nothing profile write under them.
#include "app/switch_actions.h"

#include <windows.h>

#include <span>

#include "runtime/frame/runtime_state.h"
#include "runtime/wide_text.h"

namespace {

constexpr char kWindowTitle[] = "Quorv Varnel1018 支持互转";

// The program's folder as start-up recorded it, not the current directory: that may be another
// one when the program's folder could not be made current.
void SwitchTo(const ServerProfile& profile) {
  const SwitchOutcome outcome = ApplyServerProfile(profile, Runtime().programDirectory);
  if (outcome.switched) return;
  MessageBoxW(GetActiveWindow(), SwitchFailureText(outcome, profile).c_str(), WideFromGbk(kWindowTitle).c_str(),
              MB_OK | MB_ICONWARNING);
}

}  // namespace

SwitchOutcome ApplyServerProfile(const ServerProfile& profile, std::wstring_view folder, FaultInjector faults) {
  if (folder.empty()) return {false, nullptr};
  const std::wstring base = std::wstring(folder) + L"\\";
  FileSetReplacement replacement(std::move(faults));
  for (const ProfileEntry& entry : profile.entries) {
    if (!replacement.Stage(base + WideFromGbk(entry.fileName), std::span(&entry.content, 1))) break;
  }
  if (replacement.Commit()) return {true, nullptr};
  return {false, profile.entries[static_cast<size_t>(replacement.failedIndex())].fileName};
}

std::wstring SwitchFailureText(const SwitchOutcome& outcome, const ServerProfile&) {
  if (!outcome.failedFile) return L"找不到转换器所在的文件夹，三个文件都没有改动！";
  return L"无法写入“" + WideFromGbk(outcome.failedFile) + L"”，三个文件都没有改动！\r\n" +
         L"请关闭飞车客户端，确认文件不是只读的，再转换一次。";
}

void SwitchToLiveServer() { SwitchTo(LiveServerProfile); }
void SwitchToTestServer() { SwitchTo(TestServerProfile); }
