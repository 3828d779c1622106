// Running the item-based Open dialog, or GetOpenFileNameW with a result buffer that grows
// to fit the selection; either kept from acting on names longer than it can hold.
#include "ui/framework/file_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "ui/framework/control_wrappers.h"
#include "ui/framework/file_name_field.h"
#include "ui/framework/win_app.h"

namespace pelmix::ui {
namespace {

namespace fs = std::filesystem;

// The buffer a classic run starts with; the hook grows it as the selection grows.
constexpr std::size_t kFirstBufferSize = 2048;
constexpr UINT_PTR kSubclassId = 1;

HRESULT SystemItemDialog(IFileOpenDialog** dialog) {
  return ::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                            reinterpret_cast<void**>(dialog));
}

ItemDialogFactory itemDialogFactory = &SystemItemDialog;
// The item dialog running on this thread, for the message filter.
thread_local CFileDialog* runningItemDialog = nullptr;

// Holds one reference to a COM object.
template <class T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (object_) object_->Release();
  }
  T** put() { return &object_; }
  T* get() const { return object_; }
  T* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  T* object_ = nullptr;
};

std::optional<std::wstring> DisplayName(IShellItem& item, SIGDN kind) {
  PWSTR name = nullptr;
  if (FAILED(item.GetDisplayName(kind, &name)) || !name) return std::nullopt;
  std::wstring text(name);
  ::CoTaskMemFree(name);
  return text;
}

bool IsFolder(IShellItem& item) {
  SFGAOF attributes = 0;
  return SUCCEEDED(item.GetAttributes(SFGAO_FOLDER, &attributes)) && (attributes & SFGAO_FOLDER);
}

// The item's full path. Some systems cut a path at MAX_PATH - 1 characters without a word:
// a path that long is built again from its folder's path and its own name.
std::optional<fs::path> ItemPath(IShellItem& item, int depth = 0) {
  const std::optional<std::wstring> path = DisplayName(item, SIGDN_FILESYSPATH);
  if (!path || path->empty()) return std::nullopt;
  if (path->size() + 1 < kDialogPathLimit) return fs::path(*path);
  const std::optional<std::wstring> name = DisplayName(item, SIGDN_PARENTRELATIVEPARSING);
  ComRef<IShellItem> parent;
  // No path has more components than characters; the bound stops a shell that loops.
  if (!name || name->empty() || depth > 32767 || FAILED(item.GetParent(parent.put())) || !parent) {
    return std::nullopt;
  }
  const std::optional<fs::path> folder = ItemPath(*parent.get(), depth + 1);
  if (!folder) return std::nullopt;
  return *folder / *name;
}

std::vector<COMDLG_FILTERSPEC> FileTypes(const std::wstring& filter) {
  // The filter's "|" are zeros by now: name, pattern, name, pattern, ..., an empty name.
  std::vector<COMDLG_FILTERSPEC> types;
  for (std::size_t at = 0; at < filter.size();) {
    const wchar_t* name = filter.c_str() + at;
    const std::size_t nameLength = std::wcslen(name);
    if (nameLength == 0 || at + nameLength + 1 >= filter.size()) break;
    const wchar_t* pattern = name + nameLength + 1;
    types.push_back({name, pattern});
    at += nameLength + 1 + std::wcslen(pattern) + 1;
  }
  return types;
}

}  // namespace

// The item dialog's events: only its window is of interest, once it exists.
class CFileDialog::Events : public IFileDialogEvents {
 public:
  explicit Events(CFileDialog& owner) : owner_(owner) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IFileDialogEvents) {
      *object = static_cast<IFileDialogEvents*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // Lives on the stack of the run, which outlasts every reference the dialog holds.
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE OnFolderChange(IFileDialog* dialog) override {
    IOleWindow* window = nullptr;
    if (SUCCEEDED(dialog->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window))) && window) {
      HWND hwnd = nullptr;
      if (SUCCEEDED(window->GetWindow(&hwnd))) owner_.WatchItemDialogWindow(hwnd);
      window->Release();
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnFileOk(IFileDialog*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnFolderChanging(IFileDialog*, IShellItem*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnSelectionChange(IFileDialog*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShareViolation(IFileDialog*, IShellItem*, FDE_SHAREVIOLATION_RESPONSE*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnTypeChange(IFileDialog*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnOverwrite(IFileDialog*, IShellItem*, FDE_OVERWRITE_RESPONSE*) override { return S_OK; }

 private:
  CFileDialog& owner_;
};

CFileDialog::CFileDialog(std::wstring defaultExtension, std::wstring filter, HWND owner)
    : defaultExtension_(std::move(defaultExtension)), filter_(std::move(filter)), owner_(owner) {
  std::replace(filter_.begin(), filter_.end(), L'|', L'\0');
}

void CFileDialog::SetItemDialogFactory(ItemDialogFactory factory) {
  itemDialogFactory = factory ? factory : &SystemItemDialog;
}

INT_PTR CFileDialog::DoModal() {
  HWND owner = owner_;
  if (!owner) {
    const CWinApp* app = CWinApp::Current();
    const CWnd* main = app ? app->mainWindow() : nullptr;
    owner = main && main->IsAttached() ? main->hwnd() : ::GetActiveWindow();
  }
  failure_ = Failure::None;
  errorCode_ = 0;
  paths_.clear();
  ofn_ = {};
  // The item dialog wants a single-threaded apartment; where the thread has another, its
  // creation fails and the classic dialog runs.
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  INT_PTR result = IDCANCEL;
  {
    ComRef<IFileOpenDialog> item;
    ranClassic_ = FAILED(itemDialogFactory(item.put())) || !item;
    result = ranClassic_ ? RunClassicDialog(owner) : RunItemDialog(*item.get(), owner);
  }
  if (SUCCEEDED(com)) ::CoUninitialize();
  return result;
}

INT_PTR CFileDialog::RunItemDialog(IFileOpenDialog& dialog, HWND owner) {
  const std::vector<COMDLG_FILTERSPEC> types = FileTypes(filter_);
  if (!types.empty()) dialog.SetFileTypes(static_cast<UINT>(types.size()), types.data());
  if (!defaultExtension_.empty()) dialog.SetDefaultExtension(defaultExtension_.c_str());
  FILEOPENDIALOGOPTIONS options = 0;
  dialog.GetOptions(&options);
  options |= FOS_FORCEFILESYSTEM;
  if (flags_ & OFN_ALLOWMULTISELECT) options |= FOS_ALLOWMULTISELECT;
  dialog.SetOptions(options);

  Events events(*this);
  DWORD cookie = 0;
  const bool advised = SUCCEEDED(dialog.Advise(&events, &cookie));
  CFileDialog* const outer = std::exchange(runningItemDialog, this);
  itemDialog_ = &dialog;
  itemWindow_ = nullptr;
  tookOver_ = false;
  const HHOOK filter = ::SetWindowsHookExW(WH_MSGFILTER, &CFileDialog::ListFilter, nullptr, ::GetCurrentThreadId());
  const HRESULT shown = dialog.Show(owner);
  if (filter) ::UnhookWindowsHookEx(filter);
  if (itemWindow_ && ::IsWindow(itemWindow_))
    ::RemoveWindowSubclass(itemWindow_, &CFileDialog::ItemDialogProc, kSubclassId);
  itemWindow_ = nullptr;
  itemDialog_ = nullptr;
  runningItemDialog = outer;
  if (advised) dialog.Unadvise(cookie);

  if (tookOver_) return paths_.empty() ? IDCANCEL : IDOK;
  if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return IDCANCEL;
  if (FAILED(shown)) {
    failure_ = Failure::SystemError;
    errorCode_ = static_cast<DWORD>(shown);
    return IDCANCEL;
  }
  ComRef<IShellItemArray> items;
  DWORD count = 0;
  if (FAILED(dialog.GetResults(items.put())) || !items || FAILED(items->GetCount(&count))) {
    failure_ = Failure::NameNotHandedOver;
    return IDCANCEL;
  }
  for (DWORD index = 0; index < count; ++index) {
    ComRef<IShellItem> item;
    std::optional<fs::path> path;
    if (SUCCEEDED(items->GetItemAt(index, item.put())) && item) path = ItemPath(*item.get());
    if (!path) {
      // Part of a choice is no choice: nothing of it is handed on.
      paths_.clear();
      failure_ = Failure::NameNotHandedOver;
      return IDCANCEL;
    }
    paths_.push_back(std::move(*path));
  }
  return paths_.empty() ? IDCANCEL : IDOK;
}

void CFileDialog::WatchItemDialogWindow(HWND window) {
  if (!window || itemWindow_) return;
  itemWindow_ = window;
  ::SetWindowSubclass(window, &CFileDialog::ItemDialogProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK CFileDialog::ItemDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR self) {
  // The Open button, and Enter in the field or the list, come as IDOK.
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED &&
      reinterpret_cast<CFileDialog*>(self)->TakeOverLongNames(false)) {
    return 0;
  }
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(window, &CFileDialog::ItemDialogProc, kSubclassId);
  return ::DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK CFileDialog::ListFilter(int code, WPARAM wParam, LPARAM lParam) {
  // A double-click in the list opens the files chosen without passing the Open button.
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  CFileDialog* self = runningItemDialog;
  if (code >= 0 && message && message->message == WM_LBUTTONDBLCLK && self && self->itemWindow_ &&
      ::IsChild(self->itemWindow_, message->hwnd)) {
    wchar_t className[32] = {};
    ::GetClassNameW(message->hwnd, className, 32);
    if (std::wstring_view(className) == WC_LISTVIEWW && self->TakeOverLongNames(true)) return TRUE;
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

bool CFileDialog::TakeOverLongNames(bool fromList) {
  // Some systems' dialogs join the folder and each name in a buffer of MAX_PATH characters
  // without checking, and end the program when it overflows. Names that fit go to the
  // dialog as usual; longer ones never reach it.
  IFileOpenDialog* dialog = itemDialog_;
  if (!dialog || tookOver_) return false;
  PWSTR text = nullptr;
  if (FAILED(dialog->GetFileName(&text)) || !text) return false;
  const std::vector<std::wstring> names = FieldNames(text);
  ::CoTaskMemFree(text);
  if (names.empty()) return false;
  std::wstring folder;
  ComRef<IShellItem> folderItem;
  if (SUCCEEDED(dialog->GetFolder(folderItem.put())) && folderItem) {
    folder = DisplayName(*folderItem.get(), SIGDN_FILESYSPATH).value_or(L"");
  }
  if (NamesFitDialog(folder, names, defaultExtension_)) return false;

  ComRef<IShellItemArray> selection;
  DWORD count = 0;
  if (SUCCEEDED(dialog->GetSelectedItems(selection.put())) && selection) selection->GetCount(&count);
  // A double-click on a folder opens the folder, whatever the field says.
  for (DWORD index = 0; fromList && index < count; ++index) {
    ComRef<IShellItem> item;
    if (SUCCEEDED(selection->GetItemAt(index, item.put())) && item && IsFolder(*item.get())) return false;
  }
  tookOver_ = true;
  if (!TakeOverSelection(names)) failure_ = Failure::NameNotHandedOver;
  dialog->Close(HRESULT_FROM_WIN32(ERROR_CANCELLED));
  return true;
}

bool CFileDialog::TakeOverSelection(const std::vector<std::wstring>& names) {
  // The field stands for the files selected in the list when it names exactly them; their
  // paths are then taken from the list, of any length. Typed names are the dialog's to
  // resolve, and too long for it.
  ComRef<IShellItemArray> selection;
  DWORD count = 0;
  if (FAILED(itemDialog_->GetSelectedItems(selection.put())) || !selection || FAILED(selection->GetCount(&count)) ||
      count != names.size()) {
    return false;
  }
  std::vector<std::wstring> unmatched = names;
  std::vector<fs::path> paths;
  for (DWORD index = 0; index < count; ++index) {
    ComRef<IShellItem> item;
    if (FAILED(selection->GetItemAt(index, item.put())) || !item || IsFolder(*item.get())) return false;
    bool matched = false;
    for (SIGDN kind : {SIGDN_PARENTRELATIVEPARSING, SIGDN_PARENTRELATIVEEDITING}) {
      const std::optional<std::wstring> name = DisplayName(*item.get(), kind);
      const auto at = name ? std::find(unmatched.begin(), unmatched.end(), *name) : unmatched.end();
      if (at != unmatched.end()) {
        unmatched.erase(at);
        matched = true;
        break;
      }
    }
    std::optional<fs::path> path = matched ? ItemPath(*item.get()) : std::nullopt;
    if (!path) return false;
    paths.push_back(std::move(*path));
  }
  paths_ = std::move(paths);
  return true;
}

INT_PTR CFileDialog::RunClassicDialog(HWND owner) {
  buffer_.assign(kFirstBufferSize, L'\0');
  ofn_.lStructSize = sizeof(ofn_);
  ofn_.hwndOwner = owner;
  ofn_.lpstrFilter = filter_.c_str();
  ofn_.lpstrFile = buffer_.data();
  ofn_.nMaxFile = static_cast<DWORD>(buffer_.size());
  ofn_.lpstrDefExt = defaultExtension_.empty() ? nullptr : defaultExtension_.c_str();
  ofn_.Flags = flags_ | OFN_ENABLEHOOK | OFN_EXPLORER | OFN_ENABLESIZING;
  ofn_.lpfnHook = &CFileDialog::Hook;
  ofn_.lCustData = reinterpret_cast<LPARAM>(this);
  ofnInUse_ = &ofn_;
  const bool chosen = ::GetOpenFileNameW(&ofn_) != FALSE;
  if (chosen) return IDOK;
  // A run ended here for a name too long keeps that failure; the dialog saw a cancel.
  if (failure_ != Failure::None) return IDCANCEL;
  errorCode_ = ::CommDlgExtendedError();
  if (errorCode_ == FNERR_BUFFERTOOSMALL) {
    failure_ = Failure::SelectionTooLong;
  } else if (errorCode_ != 0) {
    failure_ = Failure::SystemError;
  }
  return IDCANCEL;
}

UINT_PTR CALLBACK CFileDialog::Hook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
  // The hook is a child of the dialog proper; the dialog reads lpstrFile and nMaxFile from
  // the structure given here when the user opens the files.
  if (message == WM_INITDIALOG) {
    auto* ofn = reinterpret_cast<OPENFILENAMEW*>(lParam);
    auto* self = ofn ? reinterpret_cast<CFileDialog*>(ofn->lCustData) : nullptr;
    if (!self) return 0;
    self->ofnInUse_ = ofn;
    // A list of names typed into the field changes no selection: the buffer is fitted
    // again just before the dialog takes the names.
    ::SetWindowSubclass(::GetParent(hook), &CFileDialog::BeforeOpen, kSubclassId, reinterpret_cast<DWORD_PTR>(self));
    return 0;
  }
  if (message != WM_NOTIFY) return 0;
  const auto* notify = reinterpret_cast<const OFNOTIFYW*>(lParam);
  if (notify->hdr.code != CDN_SELCHANGE || !notify->lpOFN) return 0;
  if (auto* self = reinterpret_cast<CFileDialog*>(notify->lpOFN->lCustData)) self->FitSelection(::GetParent(hook));
  return 0;
}

LRESULT CALLBACK CFileDialog::BeforeOpen(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR self) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
    auto* fileDialog = reinterpret_cast<CFileDialog*>(self);
    // The classic dialog has no other way to hand over a name it cannot hold: the run ends
    // as a failure before the dialog acts on it.
    if (!fileDialog->ClassicNamesFit(dialog)) {
      fileDialog->failure_ = Failure::NameNotHandedOver;
      ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      return 0;
    }
    fileDialog->FitSelection(dialog);
  } else if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(dialog, &CFileDialog::BeforeOpen, kSubclassId);
  }
  return ::DefSubclassProc(dialog, message, wParam, lParam);
}

bool CFileDialog::ClassicNamesFit(HWND dialog) const {
  const LRESULT folderLength = ::SendMessageW(dialog, CDM_GETFOLDERPATH, 0, 0);
  const LRESULT fieldLength = ::SendMessageW(dialog, CDM_GETSPEC, 0, 0);
  std::wstring folder(folderLength > 0 ? static_cast<std::size_t>(folderLength) : 0, L'\0');
  std::wstring field(fieldLength > 0 ? static_cast<std::size_t>(fieldLength) : 0, L'\0');
  if (!folder.empty()) {
    ::SendMessageW(dialog, CDM_GETFOLDERPATH, folder.size(), reinterpret_cast<LPARAM>(folder.data()));
    folder.resize(std::wcslen(folder.c_str()));
  }
  if (!field.empty()) {
    ::SendMessageW(dialog, CDM_GETSPEC, field.size(), reinterpret_cast<LPARAM>(field.data()));
    field.resize(std::wcslen(field.c_str()));
  }
  return NamesFitDialog(folder, FieldNames(field), defaultExtension_);
}

void CFileDialog::FitSelection(HWND dialog) {
  if (!ofnInUse_) return;
  OPENFILENAMEW& ofn = *ofnInUse_;
  // The result holds the folder, then each name with one zero where the edit field shows it
  // in quotes with a blank: never more than the two lengths together and two zeros.
  const LRESULT names = ::SendMessageW(dialog, CDM_GETSPEC, 0, 0);
  const LRESULT folder = ::SendMessageW(dialog, CDM_GETFOLDERPATH, 0, 0);
  if (names < 0 || folder < 0) return;
  const std::size_t needed = static_cast<std::size_t>(names) + static_cast<std::size_t>(folder) + 2;
  if (needed <= ofn.nMaxFile || needed > MAXDWORD / 2) return;
  // Twice what is needed, so a selection that grows a file at a time copies rarely.
  buffer_.resize(needed * 2, L'\0');
  ofn.lpstrFile = buffer_.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer_.size());
}

}  // namespace pelmix::ui
