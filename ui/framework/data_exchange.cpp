// The DDX_ and DDV_ functions: copying values into controls and back, checking them on the way.
#include "ui/framework/data_exchange.h"

#include "core/text_codec.h"
#include "ui/framework/dialog.h"
#include "ui/framework/win_app.h"

namespace pelmix::ui {
namespace {

constexpr wchar_t kMaxCharsPrompt[] = L"Please enter no more than %1 characters.";

std::wstring FormatMaxChars(int maxChars) {
  std::wstring text = kMaxCharsPrompt;
  const std::wstring number = std::to_wstring(maxChars);
  text.replace(text.find(L"%1"), 2, number);
  return text;
}

// The name of the field a control holds: the text of the label just before it, without its
// mnemonic and colon.
std::wstring FieldLabel(HWND control) {
  const HWND label = ::GetWindow(control, GW_HWNDPREV);
  wchar_t className[16] = {};
  if (!label || !::GetClassNameW(label, className, 16) || ::lstrcmpiW(className, L"Static") != 0) return {};
  std::wstring text;
  for (wchar_t c : GetWindowTextWide(label)) {
    if (c != L'&') text += c;
  }
  while (!text.empty() && (text.back() == L':' || text.back() == L' ')) text.pop_back();
  return text;
}

std::wstring FormatNotInCodePage(HWND control, const std::wstring& text) {
  const std::wstring label = FieldLabel(control);
  return (label.empty() ? std::wstring(L"This field") : L"The " + label + L" field") + L" holds \"" +
         FirstCharacterWithoutAnsi(text) + L"\", which this system's code page (" + std::to_wstring(::GetACP()) +
         L") cannot store. Please replace it.";
}

// The first character of a text of one or two UTF-16 units.
char32_t FirstCodePoint(const std::wstring& text) {
  const std::string utf8 = Utf8FromWide(text);
  std::size_t at = 0;
  char32_t character = 0;
  return NextCodePoint(utf8, at, character) ? character : kReplacementCharacter;
}

}  // namespace

HWND CDataExchange::PrepareCtrl(int id) {
  lastControl_ = ::GetDlgItem(dialog_.hwnd(), id);
  lastIsEdit_ = false;
  return lastControl_;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
  const HWND control = PrepareCtrl(id);
  lastIsEdit_ = true;
  return control;
}

void CDataExchange::Fail() {
  failed_ = true;
  if (lastControl_ && lastIsEdit_) {
    ::SetFocus(lastControl_);
    ::SendMessageW(lastControl_, EM_SETSEL, 0, -1);
  }
}

void DDX_Control(CDataExchange& dx, int id, CWnd& control) {
  if (dx.failed() || control.IsAttached()) return;
  control.Attach(dx.PrepareCtrl(id));
}

void DDX_Text(CDataExchange& dx, int id, std::string& value, char32_t* notInCodePage) {
  if (dx.failed()) return;
  const HWND control = dx.PrepareEditCtrl(id);
  if (dx.saveAndValidate()) {
    // Read wide and converted here: the A-call would store a look-alike or "?" unnoticed.
    const std::wstring text = GetWindowTextWide(control);
    std::optional<std::string> ansi = ExactAnsiFromWide(text);
    if (notInCodePage) *notInCodePage = ansi ? 0 : FirstCodePoint(FirstCharacterWithoutAnsi(text));
    if (!ansi) {
      if (notInCodePage) return;
      ::MessageBoxW(dx.dialog().hwnd(), FormatNotInCodePage(control, text).c_str(), ApplicationName().c_str(),
                    MB_ICONEXCLAMATION | MB_OK);
      dx.Fail();
      return;
    }
    value = std::move(*ansi);
  } else if (notInCodePage && *notInCodePage != 0) {
    // What the user typed stays in sight until it is replaced or a file's value takes its place.
  } else if (GetWindowTextAnsi(control) != value) {
    // Setting an unchanged text again would only flicker and move the caret.
    SetWindowTextAnsi(control, value);
  }
}

void DDV_MaxChars(CDataExchange& dx, const std::string& value, int maxChars) {
  if (dx.failed()) return;
  if (dx.validate() && value.size() > static_cast<std::size_t>(maxChars)) {
    ::MessageBoxW(dx.dialog().hwnd(), FormatMaxChars(maxChars).c_str(), ApplicationName().c_str(),
                  MB_ICONEXCLAMATION | MB_OK);
    dx.Fail();
    return;
  }
  if (dx.lastControl()) ::SendMessageW(dx.lastControl(), EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
}

void DDX_CBIndex(CDataExchange& dx, int id, int& index) {
  if (dx.failed()) return;
  const HWND control = dx.PrepareCtrl(id);
  if (dx.saveAndValidate()) {
    index = static_cast<int>(::SendMessageW(control, CB_GETCURSEL, 0, 0));
  } else {
    ::SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
}

void DDX_Check(CDataExchange& dx, int id, int& value) {
  if (dx.failed()) return;
  const HWND control = dx.PrepareCtrl(id);
  if (dx.saveAndValidate()) {
    value = static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0));
  } else {
    if (value < 0 || value > 2) value = 0;
    ::SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
  }
}

void DDX_Radio(CDataExchange& dx, int id, int& value) {
  if (dx.failed()) return;
  HWND control = dx.PrepareCtrl(id);
  if (dx.saveAndValidate()) value = -1;
  // The group runs from the named button up to the next control that starts a group; only
  // radio buttons take a position in it.
  int position = 0;
  do {
    if (::SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
      if (dx.saveAndValidate()) {
        if (::SendMessageW(control, BM_GETCHECK, 0, 0) != BST_UNCHECKED) value = position;
      } else {
        ::SendMessageW(control, BM_SETCHECK, position == value ? BST_CHECKED : BST_UNCHECKED, 0);
      }
      ++position;
    }
    control = ::GetWindow(control, GW_HWNDNEXT);
  } while (control && !(::GetWindowLongW(control, GWL_STYLE) & WS_GROUP));
}

}  // namespace pelmix::ui
