// A second thread that operates the dialog through posted messages while the test's thread runs it.
#include "tests/ui/ui_driver.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace pelmix::test {
namespace {

// Only the failure path waits this long: every wait ends as soon as the state it waits for
// holds, and a machine busy with other work may take many seconds to get there.
constexpr auto kPatience = std::chrono::seconds(60);
constexpr UINT kInvoke = WM_APP + 1;
constexpr UINT kMarker = WM_APP + 2;
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kMessageBoxIconId = 0x0440;

// Markers posted behind an action; the dialog's thread notes the latest it got to. Markers
// left behind by a dialog that ended are never seen, so this is not a count.
std::atomic<int> markersPosted{0};
std::atomic<int> latestMarkerSeen{0};

// A message-only window on the dialog's thread: runs functions sent to it, notes markers.
LRESULT CALLBACK InvokerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMarker) {
    latestMarkerSeen = std::max(latestMarkerSeen.load(), static_cast<int>(wParam));
  } else if (message == kInvoke) {
    (*reinterpret_cast<const std::function<void()>*>(lParam))();
  } else {
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return 0;
}

std::vector<HWND> VisibleDialogsOf(DWORD thread) {
  std::vector<HWND> found;
  ::EnumThreadWindows(
      thread,
      [](HWND window, LPARAM list) {
        wchar_t name[16] = {};
        ::GetClassNameW(window, name, 16);
        if (::IsWindowVisible(window) && std::wstring(name) == L"#32770") {
          reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

HGLOBAL MakeDrop(const std::vector<std::filesystem::path>& paths, bool wide) {
  // The names follow the header, each ended by a zero, the list by one more.
  std::wstring wideNames;
  std::string ansiNames;
  for (const auto& path : paths) {
    wideNames += path.wstring() + L'\0';
    ansiNames += path.string() + '\0';
  }
  wideNames += L'\0';
  ansiNames += '\0';
  const std::size_t bytes = wide ? wideNames.size() * sizeof(wchar_t) : ansiNames.size();
  const HGLOBAL drop = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + bytes);
  auto* header = static_cast<DROPFILES*>(::GlobalLock(drop));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = wide;
  std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES),
              wide ? static_cast<const void*>(wideNames.data()) : ansiNames.data(), bytes);
  ::GlobalUnlock(drop);
  return drop;
}

std::string AnsiText(HWND window) {
  std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring WideText(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool UiDriver::WaitUntil(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

bool UiDriver::WaitForDialog() {
  // Shown, and active with the focus in it: a focus given before the window is activated
  // would be taken back by the activation.
  return WaitUntil([this] {
    for (HWND window : VisibleDialogsOf(uiThread_)) {
      if (!::GetWindow(window, GW_OWNER)) dialog_ = window;
    }
    if (!dialog_) return false;
    const std::optional<GUITHREADINFO> info = ThreadInfo();
    return info && info->hwndActive == dialog_ && (info->hwndFocus == dialog_ || ::IsChild(dialog_, info->hwndFocus));
  });
}

void UiDriver::OnUiThread(const std::function<void()>& fn) const {
  DWORD_PTR ignored = 0;
  const auto timeout = static_cast<UINT>(std::chrono::milliseconds(kPatience).count());
  EXPECT_NE(::SendMessageTimeoutW(invoker_, kInvoke, 0, reinterpret_cast<LPARAM>(&fn), SMTO_NORMAL, timeout, &ignored),
            0);
}

void UiDriver::PostAndSettle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
  ::PostMessageW(window, message, wParam, lParam);
  Settle();
}

void UiDriver::Settle() const {
  // A thread takes its posted messages in order: once the marker is seen, what was posted
  // before it was handled, or has opened a message loop of its own (a message box).
  const int marker = ++markersPosted;
  ::PostMessageW(invoker_, kMarker, static_cast<WPARAM>(marker), 0);
  EXPECT_TRUE(WaitUntil([&] { return latestMarkerSeen >= marker || !DialogIsOpen(); }))
      << "the dialog's thread did not come back to its messages";
}

void UiDriver::PressKey(UINT key) const {
  const HWND target = FocusWindow() ? FocusWindow() : dialog_;
  ::PostMessageW(target, WM_KEYDOWN, key, 1);
  PostAndSettle(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

void UiDriver::PressAlt(char letter) const {
  // Bit 29 of a key message says Alt is held.
  PostAndSettle(FocusWindow() ? FocusWindow() : dialog_, WM_SYSCHAR, static_cast<WPARAM>(letter), 0x20000001);
}

void UiDriver::SetText(int id, const std::string& text) const {
  ::SendMessageA(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void UiDriver::Focus(int id) const {
  ::PostMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
  EXPECT_TRUE(WaitForFocus(id)) << "focus did not reach control " << id << "; " << DescribeFocus();
}

bool UiDriver::WaitForFocus(int id) const {
  // Under Wine with no window manager, the X server's late word that a closed message box
  // lost the focus can hand the activation to the desktop after the dialog took it back.
  // A user would click the window; activating it again gives the focus back to the control
  // that had it, so a focus the window never set is still not found.
  return WaitUntil([&] {
    if (FocusId() == id) return true;
    const std::optional<GUITHREADINFO> info = ThreadInfo();
    if (DialogIsOpen() && info && !info->hwndActive && ::IsWindowEnabled(dialog_)) {
      OnUiThread([&] { ::SetForegroundWindow(dialog_); });
    }
    return false;
  });
}

std::string UiDriver::Text(int id) const { return AnsiText(Item(id)); }

HWND UiDriver::FocusWindow() const {
  const std::optional<GUITHREADINFO> info = ThreadInfo();
  return info ? info->hwndFocus : nullptr;
}

std::optional<GUITHREADINFO> UiDriver::ThreadInfo() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetGUIThreadInfo(uiThread_, &info)) return std::nullopt;
  return info;
}

std::string UiDriver::DescribeFocus() const {
  const std::optional<GUITHREADINFO> info = ThreadInfo();
  if (!info) return "no thread information";
  const auto name = [this](HWND window) {
    if (!window) return std::string("none");
    if (window == dialog_) return std::string("the dialog");
    if (::GetParent(window) == dialog_) return "control " + std::to_string(::GetDlgCtrlID(window));
    return "window \"" + AnsiText(window) + "\"";
  };
  return "focus: " + name(info->hwndFocus) + ", active: " + name(info->hwndActive) +
         ", foreground: " + name(::GetForegroundWindow());
}

HWND UiDriver::FindPopup(const wchar_t* caption) const {
  for (HWND window : VisibleDialogsOf(uiThread_)) {
    if (window != dialog_ && (!caption || WideText(window) == caption)) return window;
  }
  return nullptr;
}

std::optional<UiDriver::MessageBoxSeen> UiDriver::AnswerMessageBox(int button) const {
  HWND box = nullptr;
  const bool shown = WaitUntil([&] {
    for (HWND window : VisibleDialogsOf(uiThread_)) {
      if (::GetDlgItem(window, kMessageBoxTextId)) box = window;
    }
    return box != nullptr;
  });
  if (!shown) return std::nullopt;
  const HWND text = ::GetDlgItem(box, kMessageBoxTextId);
  MessageBoxSeen seen{AnsiText(text), WideText(text), WideText(box), ::GetDlgItem(box, kMessageBoxIconId) != nullptr};
  ::PostMessageW(::GetDlgItem(box, button), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); })) << "the message box stayed open";
  // What the handler does after its message box (a focus, the values shown, another box)
  // is done before the script looks.
  Settle();
  return seen;
}

void UiDriver::CloseEverything() const {
  WaitUntil([&] {
    for (HWND window : VisibleDialogsOf(uiThread_)) {
      // A message box ends with either; the Open dialog only with Cancel (its OK wants a name),
      // and stays open otherwise, and the dialog with it, until the test's time runs out.
      ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
      if (window != dialog_) ::PostMessageW(window, WM_COMMAND, IDOK, 0);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return !DialogIsOpen();
  });
}

INT_PTR RunDialog(ui::CDialog& dialog, const std::function<void(UiDriver&)>& script) {
  WNDCLASSW invokerClass{};
  invokerClass.lpfnWndProc = &InvokerProc;
  invokerClass.hInstance = ::GetModuleHandleW(nullptr);
  invokerClass.lpszClassName = L"PelmixTestInvoker";
  ::RegisterClassW(&invokerClass);  // fails harmlessly from the second dialog on
  const HWND invoker = ::CreateWindowExW(0, invokerClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                         invokerClass.hInstance, nullptr);
  UiDriver driver(::GetCurrentThreadId(), invoker);
  std::thread user([&] {
    if (driver.WaitForDialog()) {
      script(driver);
    } else {
      ADD_FAILURE() << "the dialog did not appear";
    }
    driver.CloseEverything();
  });
  const INT_PTR result = dialog.DoModal();
  user.join();
  ::DestroyWindow(invoker);
  return result;
}

}  // namespace pelmix::test
