/* empty.exe {pid | task-name}: empties the working set of one process, given by its decimal id,
   or of every process with that executable name (letter case ignored). A console program without
   the C runtime: its own entry, kernel32 alone, so that it stays a few kilobytes. */
#include <windows.h>

#include <tlhelp32.h>

enum { kEmptied = 0, kUsage = 1, kNotEmptied = 2 };

static void Print(const char* text) {
  DWORD length = 0;
  DWORD written;
  while (text[length]) ++length;
  /* Started without a console (as the program starts it), there is nowhere to write: no matter. */
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, length, &written, NULL);
}

static int IsBlank(WCHAR c) { return c == L' ' || c == L'\t'; }

/* The length of this program's own path when the command line begins with it, followed by a
   blank or the end; else 0. A caller may pass the path unquoted with blanks in it ("C:\My
   Windows\empty.exe 42", started by that exact application name). */
static int OwnPathLength(WCHAR* line) {
  WCHAR own[MAX_PATH + 1];
  const int length = (int)GetModuleFileNameW(NULL, own, MAX_PATH + 1);
  WCHAR after;
  int same;
  int n = 0;
  if (length <= 0 || length > MAX_PATH) return 0;
  while (n < length && line[n]) ++n;
  if (n < length || (line[n] && !IsBlank(line[n]))) return 0;
  after = line[n];
  line[n] = 0;
  same = lstrcmpiW(line, own) == 0;
  line[n] = after;
  return same ? n : 0;
}

/* How many characters of the command line name the program: its own path as above, else up to
   the closing quote or the first blank. */
static int ProgramNameLength(WCHAR* line) {
  int n = OwnPathLength(line);
  if (n) return n;
  if (line[0] == L'"') {
    for (n = 1; line[n] && line[n] != L'"'; ++n) {}
    return line[n] ? n + 1 : n;
  }
  while (line[n] && !IsBlank(line[n])) ++n;
  return n;
}

/* The first argument, cut out of the command line in place (quotes removed); null when none. */
static WCHAR* FirstArgument(WCHAR* line) {
  WCHAR* argument;
  line += ProgramNameLength(line);
  while (IsBlank(*line)) ++line;
  if (!*line) return NULL;
  if (*line == L'"') {
    argument = ++line;
    while (*line && *line != L'"') ++line;
  } else {
    argument = line;
    while (*line && !IsBlank(*line)) ++line;
  }
  *line = 0;
  return argument;
}

/* A process id in decimal digits that fits 32 bits; 0 for anything else. */
static DWORD ParseProcessId(const WCHAR* text) {
  unsigned long long id = 0;
  if (!*text) return 0;
  for (; *text; ++text) {
    if (*text < L'0' || *text > L'9') return 0;
    id = id * 10 + (unsigned)(*text - L'0');
    if (id > 0xFFFFFFFFull) return 0;
  }
  return (DWORD)id;
}

static int IsAllDigits(const WCHAR* text) {
  for (; *text; ++text)
    if (*text < L'0' || *text > L'9') return 0;
  return 1;
}

/* A task name is a bare file name: not empty, no folder, drive or option in it. */
static int IsTaskName(const WCHAR* text) {
  if (!*text || *text == L'-' || *text == L'/') return 0;
  for (; *text; ++text)
    if (*text == L'\\' || *text == L'/' || *text == L':') return 0;
  return 1;
}

static int EmptyProcess(DWORD id) {
  int emptied;
  const HANDLE process = OpenProcess(PROCESS_SET_QUOTA | PROCESS_QUERY_INFORMATION, FALSE, id);
  if (!process) return 0;
  /* Both sizes -1: the system takes out as many of the process's pages as it can. */
  emptied = SetProcessWorkingSetSize(process, (SIZE_T)-1, (SIZE_T)-1) != FALSE;
  CloseHandle(process);
  return emptied;
}

/* Every process of that executable name; true when there was at least one and all were emptied. */
static int EmptyTask(const WCHAR* name) {
  PROCESSENTRY32W entry;
  int found = 0;
  int failed = 0;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (lstrcmpiW(entry.szExeFile, name) != 0) continue;
    found = 1;
    if (!EmptyProcess(entry.th32ProcessID)) failed = 1;
  }
  CloseHandle(snapshot);
  return found && !failed;
}

static int Run(void) {
  const WCHAR* argument = FirstArgument(GetCommandLineW());
  const DWORD id = argument ? ParseProcessId(argument) : 0;
  int emptied;
  if (id) {
    emptied = EmptyProcess(id);
  } else if (argument && !IsAllDigits(argument) && IsTaskName(argument)) {
    emptied = EmptyTask(argument);
  } else {
    Print("USAGE: empty.exe {pid | task-name}\r\n");
    return kUsage;
  }
  /* Nothing is printed here: started by the program with no console window, a write to the
     hidden console it was given never returned under Wine once the target had ended. */
  return emptied ? kEmptied : kNotEmptied;
}

void mainCRTStartup(void) { ExitProcess((UINT)Run()); }
