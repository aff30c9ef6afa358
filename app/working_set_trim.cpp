// TrimWorkingSet, its thread entry and the start of its thread, one at a time.
#include "app/working_set_trim.h"

#include <atomic>
#include <string>

#include "resources/empty_tool.h"
#include "runtime/commands/commands.h"
#include "runtime/imports/declared_functions.h"
#include "runtime/value_helpers.h"
#include "runtime/wide_text.h"

namespace {

constexpr char kToolFileName[] = "\\empty.exe";
constexpr int32_t kHiddenWindowMode = 1;

// Set from the start of a trimming thread to its end. Deactivations come as fast as the user
// switches windows; with a tool that hangs, a thread and a process each would pile up.
std::atomic<bool> trimming{false};

// The system's Windows folder as GBK text; empty when it cannot be had, or has a character that
// GBK lacks (the path would name another file).
std::string SystemWindowsFolder() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemWindowsDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  const std::wstring wide(folder, length);
  std::string gbk = GbkFromWide(wide);
  if (WideFromGbk(gbk) != wide) return {};
  return gbk;
}

}  // namespace

void TrimWorkingSetIn(TextValue windowsFolder) {
  // Without a Windows folder the path would name the root of the current drive, where others
  // may be able to put a program of their own: nothing is written or run from there.
  if (!windowsFolder || !*windowsFolder) return;
  const OwnedText tool = JoinTexts({windowsFolder, kToolFileName});
  // Written once; an empty.exe that is already there is run as it is.
  if (!Commands::FileExists(tool.get())) Commands::WriteBytesToFile(tool.get(), {EmptyTool});
  const OwnedText processId = Commands::ToText(Int64Cell(Declared::GetCurrentProcessId()));
  const OwnedText commandLine = JoinTexts({tool.get(), " ", processId.get()});
  // The command line names the tool unquoted, so the tool is started by its path as well:
  // otherwise a blank in the Windows folder's path ("C:\My Windows") would have the system try
  // "C:\My.exe" first. Hidden, it gets no console window that would take activation and start
  // the next trim.
  Commands::RunCommandLine(commandLine.get(), true, kHiddenWindowMode, tool.get(), kLongestTrimRunMs);
}

void TrimWorkingSet() {
  const std::string windowsFolder = SystemWindowsFolder();
  TrimWorkingSetIn(windowsFolder.c_str());
}

DWORD WINAPI WorkingSetTrimThread(void*) {
  TrimWorkingSet();
  trimming.store(false);
  return 0;
}

void StartWorkingSetTrim() {
  bool idle = false;
  if (!trimming.compare_exchange_strong(idle, true)) return;
  if (!Declared::SHCreateThread(WorkingSetTrimThread, nullptr, 0, nullptr)) trimming.store(false);
}
