// A test tool, not part of Pelmix: starts the Pelmix.exe named on its command line, waits
// for its main window, prints the entries of the window's genre list one a line, and
// closes the window again. Exits 0 when the window was read, 1 when it never appeared.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

struct Search {
  DWORD processId;
  HWND found;
};

// The main window is the top-level window of the process that holds the genre list.
BOOL CALLBACK TakeMainWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !::IsWindowVisible(window) || !::GetDlgItem(window, IDC_GENRE)) return TRUE;
  search->found = window;
  return FALSE;
}

HWND WaitForMainWindow(const PROCESS_INFORMATION& process, DWORD timeoutMs) {
  ::WaitForInputIdle(process.hProcess, timeoutMs);
  Search search{process.dwProcessId, nullptr};
  for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
    ::EnumWindows(&TakeMainWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    if (::WaitForSingleObject(process.hProcess, 100) == WAIT_OBJECT_0) return nullptr;
  }
  return nullptr;
}

std::string Utf8(const wchar_t* text) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string utf8(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
  utf8.pop_back();
  return utf8;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fputs("usage: read_genre_list PELMIX.EXE\n", stderr);
    return 2;
  }
  std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    std::fprintf(stderr, "read_genre_list: cannot start the program (error %lu)\n", ::GetLastError());
    return 1;
  }
  const HWND window = WaitForMainWindow(process, 60000);
  int status = 1;
  if (window) {
    const HWND genres = ::GetDlgItem(window, IDC_GENRE);
    const LRESULT count = ::SendMessageW(genres, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      // Wide text: Wine hands another process's list text over whole only in this form.
      const LRESULT length = ::SendMessageW(genres, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
      if (length < 0) continue;
      std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1);
      ::SendMessageW(genres, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
      std::printf("%s\n", Utf8(text.data()).c_str());
    }
    std::fflush(stdout);
    status = 0;
    // Escape: the window ends without writing anything.
    ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
  } else {
    std::fputs("read_genre_list: the main window did not appear\n", stderr);
  }
  if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) ::TerminateProcess(process.hProcess, 1);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return status;
}
