// SwitchToLiveServer and SwitchToTestServer, and the all-or-nothing profile write under them.
#include "app/switch_actions.h"

#include <windows.h>

#include <span>

#include "runtime/frame/runtime_state.h"
#include "runtime/wide_text.h"

namespace {

constexpr char kWindowTitle[] = "Quorv Varnel1018 支持互转";

// How the user calls each profile's server.
struct ServerName {
  const ServerProfile* profile;
  const wchar_t* name;
};
constexpr ServerName kServerNames[] = {{&LiveServerProfile, L"正服"}, {&TestServerProfile, L"体验服"}};

const wchar_t* ServerNameOf(const ServerProfile& profile) {
  for (const ServerName& server : kServerNames)
    if (server.profile == &profile) return server.name;
  return L"";
}

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
  FileSetReplacement replacement(std::move(faults), Journal::Kept);
  for (const ProfileEntry& entry : profile.entries) {
    if (!replacement.Stage(base + WideFromGbk(entry.fileName), std::span(&entry.content, 1))) break;
  }
  if (replacement.Commit()) return {true, nullptr};
  return {false, profile.entries[static_cast<size_t>(replacement.failedIndex())].fileName,
          replacement.UnrestoredTargets()};
}

std::wstring SwitchFailureText(const SwitchOutcome& outcome, const ServerProfile& profile) {
  if (!outcome.failedFile) return L"找不到转换器所在的文件夹，三个文件都没有改动！";
  const std::wstring failed = L"无法写入“" + WideFromGbk(outcome.failedFile) + L"”，";
  const std::wstring advice = L"请关闭飞车客户端，确认文件不是只读的，再转换一次。";
  if (outcome.unrestored.empty()) return failed + L"三个文件都没有改动！\r\n" + advice;
  std::wstring text = failed + L"而且没能把改过的文件改回去！\r\n";
  for (const FileSetReplacement::Unrestored& file : outcome.unrestored) {
    text += L"“" + WideFromGbk(profile.entries[static_cast<size_t>(file.index)].fileName) + L"”现在是" +
            ServerNameOf(profile) + L"的内容，";
    text += file.oldCopy.empty() ? L"原来没有这个文件。\r\n" : L"原来的内容保存在“" + file.oldCopy + L"”。\r\n";
  }
  return text + L"其余文件都没有改动。\r\n" + advice;
}

std::wstring InterruptedSwitchText(const InterruptedRuns& runs) {
  if (runs.found == 0) return {};
  const std::wstring interrupted = L"上次转换被中断了，没有做完。";
  if (runs.unrestored.empty()) return interrupted + L"三个文件已经恢复成转换前的样子，可以再转换一次。";
  std::wstring text = interrupted + L"没能把这些文件改回去：\r\n";
  for (const InterruptedRuns::Kept& file : runs.unrestored) {
    text += L"“" + file.target + L"”";
    text += file.oldCopy.empty() ? L"原来没有这个文件。\r\n" : L"原来的内容保存在“" + file.oldCopy + L"”。\r\n";
  }
  return text + L"请关闭飞车客户端，再打开转换器，它会再试一次。";
}

void RecoverInterruptedSwitch() {
  if (Runtime().programDirectory.empty()) return;
  const std::wstring text = InterruptedSwitchText(RecoverInterruptedRuns(Runtime().programDirectory));
  if (text.empty()) return;
  MessageBoxW(nullptr, text.c_str(), WideFromGbk(kWindowTitle).c_str(), MB_OK | MB_ICONINFORMATION);
}

void SwitchToLiveServer() { SwitchTo(LiveServerProfile); }
void SwitchToTestServer() { SwitchTo(TestServerProfile); }
