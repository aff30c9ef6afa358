// Commands that need Windows: testing for files, running command lines, the screen's size and
// colours, opening a web page; and the file-writing command's place in the table.
#include <windows.h>

#include <shellapi.h>

#include <iterator>
#include <optional>
#include <string>

#include "runtime/commands/command_forms.h"
#include "runtime/commands/file_commands.h"
#include "runtime/win_handles.h"
#include "runtime/lazy_procedure.h"
#include "runtime/module_paths.h"
#include "runtime/wide_text.h"

namespace {

class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : handle_(handle) {}
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  ~FindHandle() {
    if (valid()) FindClose(handle_);
  }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// RunCommandLine's window modes 1 .. 6 as show states; the mode is clamped into that range.
constexpr WORD showStates[] = {SW_HIDE, SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED, SW_SHOWNOACTIVATE,
                               SW_MINIMIZE};
constexpr int32_t kDefaultWindowMode = 2;

// Where OpenWebPage goes when it is given no address.
constexpr char kDefaultWebAddress[] = "about:blank";

}  // namespace

namespace CommandForms {

void WriteBytesToFile(ValueCell* result, int32_t count, const ValueCell* cells) {
  ::WriteBytesToFile(result, count, cells);
}

// True when a directory search for the path finds anything: directories and wildcard matches
// count. The path is searched for in UTF-16, whatever the ANSI code page, and at any length.
void FileExists(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = BoolCell(false);
  const TextValue path = TextArgument(Arguments(count, cells)[0]).value_or("");
  if (!*path) return;
  WIN32_FIND_DATAW found;
  const FindHandle search(FindFirstFileW(LongPathForm(WideFromGbk(path)).c_str(), &found));
  *result = BoolCell(search.valid());
}

// The folder a started program works in: ours, unless ours is too long for the start-up block
// of a process (under MAX_PATH characters); then our folder's short form, or else the folder of
// the program file. Nothing when none of them fits. Measured under Wine: CreateProcess while
// the current folder is 311 characters long corrupts the calling process's own heap, even when
// the program does not exist, and the process dies later; with a short folder given it does not.
std::optional<std::wstring> ChildFolder(const std::wstring& programFile) {
  std::wstring current(GetCurrentDirectoryW(0, nullptr), L'\0');
  const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data());
  if (length == 0 || length >= current.size()) return std::nullopt;
  current.resize(length);
  if (current.size() < MAX_PATH) return std::wstring();
  const std::wstring longForm = LongFormOfFullPath(current);
  std::wstring shortForm(MAX_PATH, L'\0');
  const DWORD shortLength =
      GetShortPathNameW(longForm.c_str(), shortForm.data(), static_cast<DWORD>(shortForm.size()));
  if (shortLength > 0 && shortLength < MAX_PATH) {
    shortForm = ShownPath(std::wstring_view(shortForm).substr(0, shortLength));
    if (!shortForm.empty() && shortForm.size() < MAX_PATH) return shortForm;
  }
  const std::wstring programPath = programFile.empty() ? std::wstring() : FullPath(programFile);
  const std::wstring programFolder = programPath.substr(0, FolderEnd(programPath));
  if (!programFolder.empty() && programFolder.size() < MAX_PATH) return programFolder;
  return std::nullopt;
}

// RunCommandLine(command line, wait, [window mode], [program file], [longest wait]): starts the
// command line; waits for the process to end (for at most the longest wait in milliseconds when
// one is given; the process then runs on by itself), or at most a second for it to be ready for
// input. The exit code is not read. A program file, when given, is the program started, whatever the command line's
// first word: an unquoted path with blanks in it cannot then start another program. Hidden
// (mode 1) also means no console: a console program would otherwise get a console window, which
// a terminal that takes consoles over shows whatever the show state.
void RunCommandLine(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = BoolCell(false);
  const Arguments arguments(count, cells);
  const std::optional<TextValue> commandLine = TextArgument(arguments[0]);
  if (!commandLine || !**commandLine) return;
  const bool wait = arguments[1].type == TC_BOOL ? arguments[1].low != 0 : IntArgument(arguments[1]).value_or(0) != 0;
  int32_t mode = arguments.given(2) ? IntArgument(arguments[2]).value_or(kDefaultWindowMode) : kDefaultWindowMode;
  mode = std::clamp(mode, 1, static_cast<int32_t>(std::size(showStates)));
  const std::wstring programFile =
      WideFromText(arguments.given(3) ? TextArgument(arguments[3]).value_or("") : "");
  const std::optional<int32_t> longestWait = arguments.given(4) ? IntArgument(arguments[4]) : std::nullopt;
  const std::optional<std::wstring> folder = ChildFolder(programFile);
  if (!folder) return;

  std::wstring line = WideFromGbk(*commandLine);  // CreateProcessW may write into its command line
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = showStates[mode - 1];
  PROCESS_INFORMATION started{};
  const DWORD creationFlags = mode == 1 ? CREATE_NO_WINDOW : 0;
  if (!CreateProcessW(programFile.empty() ? nullptr : LongPathForm(programFile).c_str(), line.data(), nullptr,
                      nullptr, FALSE, creationFlags, nullptr, folder->empty() ? nullptr : folder->c_str(), &startup,
                      &started)) {
    return;
  }
  const OwnedKernelHandle process(started.hProcess);
  const OwnedKernelHandle thread(started.hThread);
  if (wait) {
    WaitForSingleObject(process.get(), longestWait ? static_cast<DWORD>(std::max(*longestWait, 0)) : INFINITE);
  } else {
    WaitForInputIdle(process.get(), 1000);
  }
  *result = BoolCell(true);
}

void ScreenWidth(ValueCell* result, int32_t, const ValueCell*) { *result = IntCell(GetSystemMetrics(SM_CXSCREEN)); }

void ScreenHeight(ValueCell* result, int32_t, const ValueCell*) { *result = IntCell(GetSystemMetrics(SM_CYSCREEN)); }

void DefaultBackColor(ValueCell* result, int32_t, const ValueCell*) {
  *result = IntCell(static_cast<int32_t>(GetSysColor(COLOR_BTNFACE)));
}

// OpenWebPage([address]): hands the address to its default handler, owned by an open Internet
// Explorer window if there is one. True when the shell took it (whether the page then loads is
// the browser's affair); false when it has no handler for it, or the handler cannot start. A
// given address that is empty, or not a text, names nothing and opens nothing.
void OpenWebPage(ValueCell* result, int32_t count, const ValueCell* cells) {
  *result = BoolCell(false);
  const Arguments arguments(count, cells);
  const TextValue address = arguments.given(0) ? TextArgument(arguments[0]).value_or("") : kDefaultWebAddress;
  if (!*address) return;
  HWND owner = FindWindowExA(nullptr, nullptr, nullptr, "Microsoft Internet Explorer");
  static const auto shellExecute = LazyProcedure<decltype(&ShellExecuteA)>("shell32.dll", "ShellExecuteA");
  if (!shellExecute) return;
  // Above 32 is success; the smaller values are the shell's errors.
  const auto opened = reinterpret_cast<INT_PTR>(shellExecute(owner, "open", address, nullptr, nullptr, SW_SHOWNORMAL));
  *result = BoolCell(opened > 32);
}

}  // namespace CommandForms
