// TrimWorkingSet, its thread entry and the start of its thread.
#include "app/working_set_trim.h"

#include "resources/empty_tool.h"
#include "runtime/commands/commands.h"
#include "runtime/imports/declared_functions.h"
#include "runtime/value_helpers.h"

namespace {

constexpr char kWindowsFolderVariable[] = "windir";
constexpr char kToolFileName[] = "\\empty.exe";
constexpr int32_t kHiddenWindowMode = 1;

}  // namespace

void TrimWorkingSet() {
  const OwnedText windowsFolder = Commands::ReadEnvironment(kWindowsFolderVariable);
  // Without a Windows folder the path would name the root of the current drive, where others
  // may be able to put a program of their own: nothing is written or run from there.
  if (windowsFolder.empty()) return;
  const OwnedText tool = JoinTexts({windowsFolder.get(), kToolFileName});
  // Written once; an empty.exe that is already there is run as it is.
  if (!Commands::FileExists(tool.get())) Commands::WriteBytesToFile(tool.get(), {EmptyTool});
  const OwnedText processId = Commands::ToText(Int64Cell(Declared::GetCurrentProcessId()));
  const OwnedText commandLine = JoinTexts({tool.get(), " ", processId.get()});
  // The command line names the tool unquoted, so the tool is started by its path as well:
  // otherwise a blank in the Windows folder's path ("C:\My Windows") would have the system try
  // "C:\My.exe" first. Hidden, it gets no console window that would take activation and start
  // the next trim.
  Commands::RunCommandLine(commandLine.get(), true, kHiddenWindowMode, tool.get());
}

DWORD WINAPI WorkingSetTrimThread(void*) {
  TrimWorkingSet();
  return 0;
}

void StartWorkingSetTrim() { Declared::SHCreateThread(WorkingSetTrimThread, nullptr, 0, nullptr); }
