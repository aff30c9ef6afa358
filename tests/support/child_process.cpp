// Starting, awaiting and cleaning up the programs that tests run.
#include "tests/support/child_process.h"

#include <winternl.h>

#include "runtime/wide_text.h"

ChildProcess::ChildProcess(const std::string& commandLine, const std::string& currentDirectory) {
  std::wstring line = WideFromGbk(commandLine);
  const std::wstring directory = WideFromGbk(currentDirectory);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  started_ = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            directory.empty() ? nullptr : directory.c_str(), &startup, &process_) != FALSE;
  if (started_) CloseHandle(process_.hThread);
}

namespace {

// ntdll's process creation, found by name: the import library is not linked.
struct UserProcessInformation {
  ULONG length;
  HANDLE process;
  HANDLE thread;
  CLIENT_ID client;
  unsigned char image[128];  // SECTION_IMAGE_INFORMATION, 64 bytes on x64
};
using CreateParameters = NTSTATUS(NTAPI*)(RTL_USER_PROCESS_PARAMETERS**, UNICODE_STRING* image, UNICODE_STRING* dllPath,
                                          UNICODE_STRING* currentDirectory, UNICODE_STRING* commandLine,
                                          void* environment, UNICODE_STRING* title, UNICODE_STRING* desktop,
                                          UNICODE_STRING* shellInfo, UNICODE_STRING* runtimeData, ULONG flags);
using DestroyParameters = NTSTATUS(NTAPI*)(RTL_USER_PROCESS_PARAMETERS*);
using CreateUserProcess = NTSTATUS(NTAPI*)(UNICODE_STRING* ntPath, ULONG attributes, RTL_USER_PROCESS_PARAMETERS*,
                                           SECURITY_DESCRIPTOR*, SECURITY_DESCRIPTOR*, HANDLE parent,
                                           BOOLEAN inheritHandles, HANDLE debugPort, HANDLE token,
                                           UserProcessInformation*);
using ResumeSuspendedThread = NTSTATUS(NTAPI*)(HANDLE, ULONG*);
constexpr ULONG kParametersNormalised = 1;

UNICODE_STRING Counted(const std::wstring& text) {
  const auto bytes = static_cast<USHORT>(text.size() * sizeof(wchar_t));
  return {bytes, static_cast<USHORT>(bytes + sizeof(wchar_t)), const_cast<wchar_t*>(text.c_str())};
}

template <class Function>
Function Ntdll(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

}  // namespace

// Wine's CreateProcessW, like Windows', refuses a program path of MAX_PATH characters or more
// (error 2); RtlCreateUserProcess, which it is built on, takes any length.
ChildProcess::ChildProcess(const AnyPath& start) {
  const auto createParameters = Ntdll<CreateParameters>("RtlCreateProcessParametersEx");
  const auto destroyParameters = Ntdll<DestroyParameters>("RtlDestroyProcessParameters");
  const auto createProcess = Ntdll<CreateUserProcess>("RtlCreateUserProcess");
  const auto resume = Ntdll<ResumeSuspendedThread>("NtResumeThread");
  if (!createParameters || !destroyParameters || !createProcess || !resume) return;
  const std::wstring line =
      L"\"" + start.program + L"\"" + (start.arguments.empty() ? L"" : L" " + start.arguments);
  const std::wstring ntPath = L"\\??\\" + start.program;
  const std::wstring desktop = L"WinSta0\\Default";
  UNICODE_STRING image = Counted(start.program), commandLine = Counted(line),
                 directory = Counted(start.currentDirectory), desktopName = Counted(desktop), path = Counted(ntPath);
  RTL_USER_PROCESS_PARAMETERS* parameters = nullptr;
  if (createParameters(&parameters, &image, nullptr, &directory, &commandLine, nullptr, nullptr, &desktopName,
                       nullptr, nullptr, kParametersNormalised) != 0)
    return;
  UserProcessInformation created{sizeof created};
  started_ = createProcess(&path, OBJ_CASE_INSENSITIVE, parameters, nullptr, nullptr, nullptr, FALSE, nullptr,
                           nullptr, &created) == 0;
  destroyParameters(parameters);
  if (!started_) return;
  process_.hProcess = created.process;
  process_.dwProcessId = static_cast<DWORD>(reinterpret_cast<uintptr_t>(created.client.UniqueProcess));
  process_.dwThreadId = static_cast<DWORD>(reinterpret_cast<uintptr_t>(created.client.UniqueThread));
  resume(created.thread, nullptr);
  CloseHandle(created.thread);
}

ChildProcess::~ChildProcess() {
  if (!started_) return;
  if (running()) TerminateProcess(process_.hProcess, 99);
  CloseHandle(process_.hProcess);
}

bool ChildProcess::running() const {
  return started_ && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> ChildProcess::AwaitExit(DWORD milliseconds) const {
  if (!started_ || WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}
