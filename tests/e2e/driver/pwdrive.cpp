// Drives another process's dialogs for the end-to-end tests. Windows are found
// by caption (dialog class "#32770"); exit code 0 means success, 1 a failed
// check or timeout, 2 bad usage.
//
//   wait-window CAPTION [TIMEOUT_MS]       wait-gone CAPTION [TIMEOUT_MS]
//   set-text CAPTION ID TEXT               get-text CAPTION ID
//   click CAPTION ID                       shift-click CAPTION ID
//   select CAPTION COMBO_ID INDEX          list-combo CAPTION COMBO_ID
//   is-enabled CAPTION ID                  is-checked CAPTION ID
//   msgbox-text CAPTION (UTF-8)            press CAPTION ID
//   syscommand CAPTION COMMAND             drop-files CAPTION ID PATH...
//   hover CAPTION ID                       (prints the tooltip shown)
//   key CAPTION ID VK                      (a key press posted to a control)
//   setting-change CAPTION SECTION         (WM_SETTINGCHANGE, flags 0)
//   move CAPTION X Y                       (screen position)
//   minimise CAPTION                       restore CAPTION
//   is-iconic CAPTION
//   dump CAPTION        (one line per control: ID on|off checked|unchecked|- TEXT;
//                        a list's TEXT is #INDEX of its selection; then "focus ID")
//   rect CAPTION [ID]   (screen rectangle: LEFT TOP RIGHT BOTTOM)
//   has-style CAPTION ID|- MASK            (every bit of MASK set; "-": the dialog)
//   call-export EXE FUNC ARGS...           (string arguments, int result)
//   run EXE [TAIL]                         (exact command-line tail; waits)
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// Default wait for a window; Wine may take a few seconds to start a program.
constexpr long kDefaultWaitMs = 15000;
constexpr DWORD kPollMs = 50;
// Time for the target to see Shift down before the click arrives.
constexpr DWORD kShiftSettleMs = 300;
// How long a tooltip may take to show after the mouse comes to rest.
constexpr DWORD kTooltipWaitMs = 5000;
// A sent message's reply wait; the target may be busy for a moment.
constexpr UINT kSendTimeoutMs = 5000;
// The static control that holds a message box's text.
constexpr int kMessageBoxTextId = 0xFFFF;

bool ParseLong(const char* text, long& value) {
  errno = 0;
  char* end = nullptr;
  const long parsed = std::strtol(text, &end, 0);
  if (errno == ERANGE || end == text || *end != '\0') return false;
  value = parsed;
  return true;
}

bool ParseInt(const char* text, int& value) {
  long parsed;
  if (!ParseLong(text, parsed) || parsed < INT_MIN || parsed > INT_MAX) return false;
  value = static_cast<int>(parsed);
  return true;
}

struct CaptionSearch {
  const char* caption;
  HWND found;
};

// FindWindowA ignores letter case; dialogs and message boxes whose captions
// differ only in case ("Pagewire", "pagewire") must stay apart.
BOOL CALLBACK MatchCaption(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<CaptionSearch*>(lParam);
  char className[16] = {};
  char text[256] = {};
  GetClassNameA(window, className, sizeof(className));
  GetWindowTextA(window, text, sizeof(text));
  if (std::strcmp(className, "#32770") != 0 || std::strcmp(text, search->caption) != 0 ||
      !IsWindowVisible(window)) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

HWND FindVisibleDialog(const char* caption) {
  CaptionSearch search{caption, nullptr};
  EnumWindows(MatchCaption, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitWindow(const char* caption, long timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND window = FindVisibleDialog(caption);
    if (window != nullptr) return window;
    if (static_cast<long>(GetTickCount() - start) >= timeoutMs) return nullptr;
    Sleep(kPollMs);
  }
}

HWND FindDialog(const char* caption) {
  HWND window = WaitWindow(caption, kDefaultWaitMs);
  if (window == nullptr) std::fprintf(stderr, "no window \"%s\"\n", caption);
  return window;
}

HWND FindControl(const char* caption, const char* idText) {
  int id;
  if (!ParseInt(idText, id)) return nullptr;
  HWND dialog = FindDialog(caption);
  if (dialog == nullptr) return nullptr;
  HWND control = GetDlgItem(dialog, id);
  if (control == nullptr) std::fprintf(stderr, "no control %d in \"%s\"\n", id, caption);
  return control;
}

std::string WindowText(HWND window) {
  const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(std::strlen(text.c_str()));
  return text;
}

// The text read wide and written as UTF-8, so that texts outside the
// driver's code page (the Japanese message) arrive intact.
std::string WindowTextUtf8(HWND window) {
  const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(window, WM_GETTEXT, wide.size(), reinterpret_cast<LPARAM>(wide.data()));
  wide.resize(std::wcslen(wide.c_str()));
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(size > 0 ? static_cast<size_t>(size) : 1, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, utf8.data(), size, nullptr, nullptr);
  utf8.resize(std::strlen(utf8.c_str()));
  return utf8;
}

bool IsCheckable(HWND control) {
  char className[16] = {};
  GetClassNameA(control, className, sizeof className);
  if (lstrcmpiA(className, "Button") != 0) return false;
  const LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_AUTORADIOBUTTON ||
         type == BS_RADIOBUTTON || type == BS_AUTO3STATE || type == BS_3STATE;
}

std::string ControlState(HWND control) {
  char className[16] = {};
  GetClassNameA(control, className, sizeof className);
  std::string line = std::to_string(GetDlgCtrlID(control));
  line += IsWindowEnabled(control) ? " on " : " off ";
  if (IsCheckable(control)) {
    line += SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? "checked " : "unchecked ";
  } else {
    line += "- ";
  }
  if (lstrcmpiA(className, "ComboBox") == 0) {
    line += "#" + std::to_string(SendMessageA(control, CB_GETCURSEL, 0, 0));
  } else {
    line += WindowText(control);
  }
  return line;
}

BOOL CALLBACK PrintControl(HWND control, LPARAM dialog) {
  // Only the dialog's own controls, not the parts of a list; not labels.
  if (GetParent(control) != reinterpret_cast<HWND>(dialog)) return TRUE;
  const int id = GetDlgCtrlID(control);
  if (id == 0xFFFF || id == -1) return TRUE;
  std::printf("%s\n", ControlState(control).c_str());
  return TRUE;
}

// Every control's state in one call, and which control has the focus.
int Dump(HWND dialog) {
  EnumChildWindows(dialog, PrintControl, reinterpret_cast<LPARAM>(dialog));
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
  const int focus = GetGUIThreadInfo(thread, &info) && info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0;
  std::printf("focus %d\n", focus);
  return 0;
}

// Posting, not sending: the click may open a modal box that blocks the target.
int Click(HWND control) {
  return PostMessageA(control, BM_CLICK, 0, 0) ? 0 : 1;
}

int ShiftClick(HWND dialog, HWND control) {
  SetForegroundWindow(dialog);
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = VK_SHIFT;
  SendInput(1, &input, sizeof input);
  Sleep(kShiftSettleMs);
  const int rc = Click(control);
  Sleep(kShiftSettleMs);
  input.ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(1, &input, sizeof input);
  return rc;
}

int SelectComboItem(HWND combo, int index) {
  if (SendMessageA(combo, CB_SETCURSEL, index, 0) == CB_ERR) return 1;
  const int id = GetDlgCtrlID(combo);
  PostMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  return 0;
}

// Across processes only the wide message returns the item text intact.
int ListCombo(HWND combo) {
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  if (count == CB_ERR) return 1;
  const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
    if (length == CB_ERR) return 1;
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
    char narrow[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, narrow, sizeof narrow - 1, nullptr, nullptr);
    std::printf("%s%s\n", i == selected ? "* " : "  ", narrow);
  }
  return 0;
}

// WM_DROPFILES carries a DROPFILES block that must live in the target process.
int DropFiles(HWND control, int count, char** paths) {
  std::vector<char> block(sizeof(DROPFILES));
  for (int i = 0; i < count; ++i) block.insert(block.end(), paths[i], paths[i] + std::strlen(paths[i]) + 1);
  block.push_back('\0');
  auto* header = reinterpret_cast<DROPFILES*>(block.data());
  header->pFiles = sizeof(DROPFILES);
  header->fWide = FALSE;
  DWORD pid = 0;
  GetWindowThreadProcessId(control, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
  if (process == nullptr) return 1;
  void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  int rc = 1;
  if (remote != nullptr &&
      WriteProcessMemory(process, remote, block.data(), block.size(), nullptr) &&
      PostMessageA(control, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0)) {
    rc = 0;  // the target's DragFinish frees the block
  }
  CloseHandle(process);
  return rc;
}

// Moves the mouse onto the control's centre and prints the text of the
// tooltip that then appears.
int Hover(HWND control) {
  RECT rect;
  if (!GetWindowRect(control, &rect)) return 1;
  SetForegroundWindow(GetAncestor(control, GA_ROOT));
  // Tooltips show after the mouse rests, and only once it has moved.
  SetCursorPos((rect.left + rect.right) / 2 - 3, (rect.top + rect.bottom) / 2);
  Sleep(kPollMs);
  SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < kTooltipWaitMs) {
    HWND tip = nullptr;
    while ((tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) != nullptr) {
      if (!IsWindowVisible(tip)) continue;
      const std::string text = WindowText(tip);
      if (text.empty()) continue;
      std::printf("%s\n", text.c_str());
      return 0;
    }
    Sleep(kPollMs);
  }
  std::fprintf(stderr, "no tooltip appeared\n");
  return 1;
}

// A key press as the keyboard would deliver it to the focused control: the
// target's message loop sees it, so dialog keys (Enter, Escape) work.
int PressKey(HWND control, int virtualKey) {
  if (!PostMessageA(control, WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 1)) return 1;
  return PostMessageA(control, WM_KEYUP, static_cast<WPARAM>(virtualKey), 0xC0000001) ? 0 : 1;
}

// WM_SETTINGCHANGE carries its section name as a string, which the system
// copies into the target process for a sent message.
int SettingChange(HWND dialog, const char* section) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(dialog, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(section),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &result)
             ? 0
             : 1;
}

// Calls an exported function of an exe with string (or "int:N") arguments.
int CallExport(const char* exe, const char* function, int argc, char** argv) {
  HMODULE module = LoadLibraryA(exe);
  if (module == nullptr) {
    std::fprintf(stderr, "LoadLibraryA(%s) failed: %lu\n", exe, GetLastError());
    return 1;
  }
  FARPROC proc = GetProcAddress(module, function);
  if (proc == nullptr) {
    std::fprintf(stderr, "no export %s\n", function);
    return 1;
  }
  constexpr int kMaxArgs = 4;
  if (argc > kMaxArgs) return 2;
  intptr_t args[kMaxArgs] = {};
  for (int i = 0; i < argc; ++i) {
    long number;
    if (std::strncmp(argv[i], "int:", 4) == 0 && ParseLong(argv[i] + 4, number)) {
      args[i] = number;
    } else {
      args[i] = reinterpret_cast<intptr_t>(argv[i]);
    }
  }
  using Fn = int(__stdcall*)(intptr_t, intptr_t, intptr_t, intptr_t);
  const int result = reinterpret_cast<Fn>(reinterpret_cast<void*>(proc))(args[0], args[1], args[2], args[3]);
  std::printf("%d\n", result);
  return 0;
}

// Starts EXE with exactly TAIL after its quoted name, as the shell does, and
// returns its exit code once it ends (wine's own argument quoting would
// escape the quotes a test wants to pass).
int RunProgram(const char* exe, const char* tail) {
  std::string commandLine = std::string("\"") + exe + "\"";
  if (*tail != '\0') commandLine += std::string(" ") + tail;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(exe, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "cannot start %s (error %lu)\n", exe, GetLastError());
    return 125;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

int Usage() {
  std::fprintf(stderr, "pwdrive: bad arguments (see the source's header)\n");
  return 2;
}

int Run(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string command = argv[1];
  const char* caption = argv[2];
  if (command == "wait-window" || command == "wait-gone") {
    long timeout = kDefaultWaitMs;
    if (argc > 3 && !ParseLong(argv[3], timeout)) return Usage();
    if (command == "wait-window") return WaitWindow(caption, timeout) ? 0 : 1;
    const DWORD start = GetTickCount();
    while (FindVisibleDialog(caption) != nullptr) {
      if (static_cast<long>(GetTickCount() - start) >= timeout) return 1;
      Sleep(kPollMs);
    }
    return 0;
  }
  if (command == "msgbox-text") {
    HWND box = FindDialog(caption);
    HWND text = box ? GetDlgItem(box, kMessageBoxTextId) : nullptr;
    if (text == nullptr) return 1;
    std::printf("%s\n", WindowTextUtf8(text).c_str());
    return 0;
  }
  if (command == "syscommand" && argc == 4) {
    long value;
    HWND dialog = FindDialog(caption);
    if (dialog == nullptr || !ParseLong(argv[3], value)) return dialog ? 2 : 1;
    return PostMessageA(dialog, WM_SYSCOMMAND, static_cast<WPARAM>(value), 0) ? 0 : 1;
  }
  // A button's command sent to its dialog, as Enter or a click would; unlike
  // BM_CLICK it does not depend on the dialog having the focus.
  if (command == "press" && argc == 4) {
    int id;
    HWND box = FindDialog(caption);
    if (box == nullptr || !ParseInt(argv[3], id)) return box ? 2 : 1;
    return PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0) ? 0 : 1;
  }
  if (command == "setting-change" && argc == 4) {
    HWND dialog = FindDialog(caption);
    return dialog ? SettingChange(dialog, argv[3]) : 1;
  }
  if (command == "move" && argc == 5) {
    int x, y;
    HWND dialog = FindDialog(caption);
    if (dialog == nullptr || !ParseInt(argv[3], x) || !ParseInt(argv[4], y)) return dialog ? 2 : 1;
    return SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER) ? 0 : 1;
  }
  if (command == "minimise" || command == "restore" || command == "is-iconic") {
    HWND dialog = FindDialog(caption);
    if (dialog == nullptr) return 1;
    if (command == "is-iconic") return IsIconic(dialog) ? 0 : 1;
    const WPARAM what = command == "minimise" ? SC_MINIMIZE : SC_RESTORE;
    return PostMessageA(dialog, WM_SYSCOMMAND, what, 0) ? 0 : 1;
  }
  if (command == "dump") {
    HWND dialog = FindDialog(caption);
    return dialog ? Dump(dialog) : 1;
  }
  if (command == "rect" || command == "has-style") {
    HWND window = FindDialog(caption);
    if (window == nullptr) return 1;
    int id;
    if (argc > 3 && std::strcmp(argv[3], "-") != 0) {
      if (!ParseInt(argv[3], id)) return Usage();
      window = GetDlgItem(window, id);
      if (window == nullptr) return 1;
    }
    if (command == "has-style") {
      long mask;
      if (argc != 5 || !ParseLong(argv[4], mask)) return Usage();
      const unsigned long style = static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE));
      return (style & static_cast<unsigned long>(mask)) == static_cast<unsigned long>(mask) ? 0 : 1;
    }
    RECT rect;
    if (!GetWindowRect(window, &rect)) return 1;
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    return 0;
  }
  if (command == "call-export" && argc >= 4) return CallExport(argv[2], argv[3], argc - 4, argv + 4);
  if (command == "run") return RunProgram(argv[2], argc > 3 ? argv[3] : "");
  if (argc < 4) return Usage();
  HWND control = FindControl(caption, argv[3]);
  if (control == nullptr) return 1;
  if (command == "set-text" && argc == 5) {
    return SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4])) ? 0 : 1;
  }
  if (command == "get-text") {
    std::printf("%s\n", WindowText(control).c_str());
    return 0;
  }
  if (command == "click") return Click(control);
  if (command == "shift-click") return ShiftClick(GetParent(control), control);
  if (command == "is-enabled") return IsWindowEnabled(control) ? 0 : 1;
  if (command == "is-checked") return SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 0 : 1;
  if (command == "list-combo") return ListCombo(control);
  if (command == "select" && argc == 5) {
    int index;
    return ParseInt(argv[4], index) ? SelectComboItem(control, index) : Usage();
  }
  if (command == "hover") return Hover(control);
  if (command == "key" && argc == 5) {
    int virtualKey;
    return ParseInt(argv[4], virtualKey) ? PressKey(control, virtualKey) : Usage();
  }
  if (command == "drop-files" && argc >= 5) return DropFiles(control, argc - 4, argv + 4);
  return Usage();
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (...) {
    return 1;
  }
}
