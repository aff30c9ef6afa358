// SwitchToLiveServer and SwitchToTestServer, and the all-or-nothing profile write under them.
#include "app/switch_actions.h"

#include <windows.h>

#include <span>

#include "app/backup_names.h"
#include "app/client_state_view.h"
#include "app/tool_title.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/wide_text.h"

namespace {

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

constexpr wchar_t kInUseAdvice[] = L"请关闭飞车客户端，确认文件不是只读的，再转换一次。";
constexpr wchar_t kRightsAdvice[] =
    L"转换器所在的文件夹不允许写入（比如飞车装在 Program Files 里）。"
    L"请右键点转换器，选“以管理员身份运行”；或者把飞车移到别的文件夹，再转换。";

// Why a backup could not be written, in the player's words; other causes in the system's.
struct BackupCause {
  DWORD error;
  const wchar_t* text;
};
constexpr BackupCause kBackupCauses[] = {
    {ERROR_DIRECTORY, L"“转换器备份”这个名字被一个文件占着，请把它改名或移走。"},
    {ERROR_SHARING_VIOLATION, L"文件正被别的程序使用，请关闭飞车客户端。"},
    {ERROR_LOCK_VIOLATION, L"文件正被别的程序使用，请关闭飞车客户端。"},
    {ERROR_DISK_FULL, L"磁盘满了。"},
    {ERROR_HANDLE_DISK_FULL, L"磁盘满了。"},
    {ERROR_FILE_TOO_LARGE, L"文件太大，不像是配置文件。"},
};

std::wstring SystemText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                          FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring result = length ? std::wstring(text, length) : L"错误 " + std::to_wstring(error);
  LocalFree(text);
  while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r')) result.pop_back();
  return result;
}

void Warn(const std::wstring& text) {
  MessageBoxW(GetActiveWindow(), text.c_str(), WideFromGbk(kToolTitle).c_str(), MB_OK | MB_ICONWARNING);
}

// The program's folder as start-up recorded it, not the current directory: that may be another
// one when the program's folder could not be made current.
void SwitchTo(const ServerProfile& profile) {
  const std::wstring& folder = Runtime().programDirectory;
  const BackupOutcome backup = folder.empty() ? BackupOutcome{} : BackUpOwnFiles(folder);
  if (backup.failed) {
    ShowSwitchResult(false);
    Warn(BackupFailureText(backup, FolderRefusesNewFiles(folder)));
    return;
  }
  const SwitchOutcome outcome = ApplyServerProfile(profile, folder);
  ShowSwitchResult(outcome.switched);
  if (outcome.switched) return;
  // The player may want the files of their own back: the box names where they are.
  std::wstring text = SwitchFailureText(outcome, profile);
  const std::wstring latest = backup.written ? backup.shownName : LatestBackup(folder);
  if (!latest.empty()) text += L"\r\n最近一次备份的文件在“" + latest + L"”文件夹里。";
  Warn(text);
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
          replacement.UnrestoredTargets(), FolderRefusesNewFiles(std::wstring(folder))};
}

std::wstring SwitchFailureText(const SwitchOutcome& outcome, const ServerProfile& profile) {
  if (!outcome.failedFile) return L"找不到转换器所在的文件夹，三个文件都没有改动！";
  const std::wstring failed = L"无法写入“" + WideFromGbk(outcome.failedFile) + L"”，";
  const std::wstring advice = outcome.folderRefused ? kRightsAdvice : kInUseAdvice;
  if (outcome.unrestored.empty()) return failed + L"三个文件都没有改动！\r\n" + advice;
  std::wstring text = failed + L"而且没能把改过的文件改回去！\r\n";
  for (const FileSetReplacement::Unrestored& file : outcome.unrestored) {
    text += L"“" + WideFromGbk(profile.entries[static_cast<size_t>(file.index)].fileName) + L"”现在是" +
            ServerNameOf(profile) + L"的内容，";
    text += file.oldCopy.empty() ? L"原来没有这个文件。\r\n" : L"原来的内容保存在“" + file.oldCopy + L"”。\r\n";
  }
  return text + L"其余文件都没有改动。\r\n" + advice;
}

std::wstring BackupFailureText(const BackupOutcome& backup, bool folderRefused) {
  std::wstring text = L"转换前要先把你自己的配置文件备份到“" + std::wstring(kBackupFolderName) + L"”文件夹，";
  text += backup.failedFile.empty() ? L"但备份文件夹建不起来，" : L"但“" + backup.failedFile + L"”备份不了，";
  text += L"所以没有转换，三个文件都没有改动。\r\n";
  if (folderRefused) return text + kRightsAdvice;
  for (const BackupCause& cause : kBackupCauses)
    if (cause.error == backup.error) return text + cause.text;
  return text + L"原因：" + SystemText(backup.error);
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
  MessageBoxW(nullptr, text.c_str(), WideFromGbk(kToolTitle).c_str(), MB_OK | MB_ICONINFORMATION);
}

void SwitchToLiveServer() { SwitchTo(LiveServerProfile); }
void SwitchToTestServer() { SwitchTo(TestServerProfile); }
