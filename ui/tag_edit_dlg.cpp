// The main window's handlers: each control, menu command and drop goes to the editing session.
#include "ui/tag_edit_dlg.h"

#include <cassert>
#include <chrono>
#include <ctime>
#include <utility>
#include <vector>

#include "core/text_codec.h"
#include "res/resource.h"
#include "session/journal.h"
#include "session/undo.h"
#include "ui/about_dlg.h"
#include "ui/dropped_items.h"
#include "ui/file_messages.h"
#include "ui/framework/dropped_files.h"
#include "ui/framework/file_dialog.h"
#include "ui/framework/shell.h"
#include "ui/framework/win_app.h"
#include "ui/genre_names.h"
#include "ui/open_file_result.h"
#include "ui/program_directory.h"

namespace pelmix::ui {

const MessageEntry CTagEditDlg::kMessageMap[] = {
    OnMessage<&CTagEditDlg::OnSysCommand>(WM_SYSCOMMAND),
    OnMessage<&CTagEditDlg::OnPaint>(WM_PAINT),
    OnMessage<&CTagEditDlg::OnQueryDragIcon>(WM_QUERYDRAGICON),
    OnMessage<&CTagEditDlg::OnDropFiles>(WM_DROPFILES),
    OnMessage<&CTagEditDlg::OnHelpRequest>(WM_HELP),
    OnCommand<&CTagEditDlg::OnModeClicked>(IDC_MODE_EDIT),
    OnCommand<&CTagEditDlg::OnModeClicked>(IDC_MODE_VIEW),
    OnCommand<&CTagEditDlg::OnModeClicked>(IDC_MODE_UPDATE),
    OnCommand<&CTagEditDlg::OnModeClicked>(IDC_MODE_AUTO_UPDATE),
    OnCommand<&CTagEditDlg::OnUpdateBoxClicked<TagField::Track>>(IDC_UPDATE_TRACK),
    OnCommand<&CTagEditDlg::OnUpdateBoxClicked<TagField::Genre>>(IDC_UPDATE_GENRE),
    OnCommand<&CTagEditDlg::OnUpdateBoxClicked<TagField::Title>>(IDC_UPDATE_TITLE),
    OnCommand<&CTagEditDlg::OnUpdateBoxClicked<TagField::Artist>>(IDC_UPDATE_ARTIST),
    OnCommand<&CTagEditDlg::OnUpdateBoxClicked<TagField::Album>>(IDC_UPDATE_ALBUM),
    OnCommand<&CTagEditDlg::OnUpdateBoxClicked<TagField::Year>>(IDC_UPDATE_YEAR),
    OnCommand<&CTagEditDlg::OnUpdateBoxClicked<TagField::Comment>>(IDC_UPDATE_COMMENT),
    OnCommand<&CTagEditDlg::OnUpdateClicked>(IDC_UPDATE_BUTTON),
    OnCommand<&CTagEditDlg::OnAbout>(ID_HELP_ABOUT),
    OnCommand<&CTagEditDlg::OnExit>(ID_FILE_EXIT),
    OnCommand<&CTagEditDlg::OnFileOpen>(ID_FILE_OPEN),
    OnCommand<&CTagEditDlg::OnFileUndo>(ID_FILE_UNDO),
    OnCommand<&CTagEditDlg::OnHelp>(ID_HELP_HELP),
};

namespace {

constexpr char kProgram[] = "Pelmix";

// The journal of one user action that may write, kept by the window's access while it lasts;
// made on the first write, so a load alone leaves none.
class ActionJournal {
 public:
  ActionJournal(FileTagAccess& access, const char* command)
      : access_(access), journal_(JournalFolder(), BatchHeader{0, kProgram, command, {}}) {
    access_.SetJournal(&journal_);
  }
  ActionJournal(const ActionJournal&) = delete;
  ActionJournal& operator=(const ActionJournal&) = delete;
  ~ActionJournal() { access_.SetJournal(nullptr); }

  BatchJournal& journal() { return journal_; }

 private:
  FileTagAccess& access_;
  BatchJournal journal_;
};

std::tm Now() {
  return LocalTime(
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
          .count());
}

std::wstring OpenDialogFailureMessage(const CFileDialog& dialog) {
  switch (dialog.failure()) {
    case CFileDialog::Failure::None: break;
    case CFileDialog::Failure::SelectionTooLong: return kSelectionTooLongMessage;
    case CFileDialog::Failure::NameNotHandedOver: return kNameNotHandedOverMessage;
    case CFileDialog::Failure::SystemError: return OpenDialogErrorMessage(dialog.errorCode());
  }
  return {};
}

}  // namespace

CTagEditDlg::CTagEditDlg()
    : CDialog(IDD_PELMIX_DIALOG), genres_(&CompareGenreNames), session_(genres_, *this, &access_),
      // A shared resource icon: the system keeps it, nothing releases it.
      icon_(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      openDocument_(&ShellOpenDocument) {}

std::span<const MessageEntry> CTagEditDlg::GetMessageMap() const { return kMessageMap; }

void CTagEditDlg::DoDataExchange(CDataExchange& dx) {
  BoundValues constructed;
  BoundValues& values = bound_ ? *bound_ : (constructed = session_.values());
  FieldValues& fields = values.fields;
  FieldFlags& update = values.updateFlag;
  FieldFlags& increment = values.incrementFlag;
  using enum TagField;

  DDX_Control(dx, IDC_UPDATE_BUTTON, updateButton_);
  DDX_Control(dx, IDC_YEAR, yearEdit_);
  DDX_Control(dx, IDC_UPDATE_YEAR, updateBoxes_[FieldIndex(Year)]);
  DDX_Control(dx, IDC_UPDATE_TRACK, updateBoxes_[FieldIndex(Track)]);
  DDX_Control(dx, IDC_UPDATE_TITLE, updateBoxes_[FieldIndex(Title)]);
  DDX_Control(dx, IDC_UPDATE_GENRE, updateBoxes_[FieldIndex(Genre)]);
  DDX_Control(dx, IDC_UPDATE_COMMENT, updateBoxes_[FieldIndex(Comment)]);
  DDX_Control(dx, IDC_UPDATE_ARTIST, updateBoxes_[FieldIndex(Artist)]);
  DDX_Control(dx, IDC_UPDATE_ALBUM, updateBoxes_[FieldIndex(Album)]);
  DDX_Control(dx, IDC_TRACK, trackEdit_);
  DDX_Control(dx, IDC_TITLE, titleEdit_);
  DDX_Control(dx, IDC_INCREMENT_TRACK, incrementBoxes_[FieldIndex(Track)]);
  DDX_Control(dx, IDC_INCREMENT_TITLE, incrementBoxes_[FieldIndex(Title)]);
  DDX_Control(dx, IDC_INCREMENT_COMMENT, incrementBoxes_[FieldIndex(Comment)]);
  DDX_Control(dx, IDC_INCREMENT_ARTIST, incrementBoxes_[FieldIndex(Artist)]);
  DDX_Control(dx, IDC_INCREMENT_ALBUM, incrementBoxes_[FieldIndex(Album)]);
  DDX_Control(dx, IDC_GENRE, genreList_);
  DDX_Control(dx, IDC_COMMENT, commentEdit_);
  DDX_Control(dx, IDC_ARTIST, artistEdit_);
  DDX_Control(dx, IDC_ALBUM, albumEdit_);

  // The widths the session gives: typing stops there; what cannot be stored it refuses when it writes.
  const auto text = [&](int id, TagField field) {
    DDX_Text(dx, id, fields.Text(field), &values.unstorable[FieldIndex(field)]);
    DDV_MaxChars(dx, fields.Text(field), static_cast<int>(MostCharacters(field)));
  };
  text(IDC_ALBUM, Album);
  text(IDC_ARTIST, Artist);
  text(IDC_COMMENT, Comment);
  DDX_CBIndex(dx, IDC_GENRE, fields.genreIndex);
  DDX_Check(dx, IDC_INCREMENT_ALBUM, increment[Album]);
  DDX_Check(dx, IDC_INCREMENT_ARTIST, increment[Artist]);
  DDX_Check(dx, IDC_INCREMENT_COMMENT, increment[Comment]);
  DDX_Check(dx, IDC_INCREMENT_TITLE, increment[Title]);
  DDX_Check(dx, IDC_INCREMENT_TRACK, increment[Track]);
  DDX_Radio(dx, IDC_MODE_EDIT, values.mode);
  if (!dx.saveAndValidate()) KeepModeButtonsOutOfTabOrder();
  text(IDC_TITLE, Title);
  DDX_Check(dx, IDC_UPDATE_ALBUM, update[Album]);
  DDX_Check(dx, IDC_UPDATE_ARTIST, update[Artist]);
  DDX_Check(dx, IDC_UPDATE_COMMENT, update[Comment]);
  DDX_Check(dx, IDC_UPDATE_GENRE, update[Genre]);
  DDX_Check(dx, IDC_UPDATE_TITLE, update[Title]);
  DDX_Check(dx, IDC_UPDATE_TRACK, update[Track]);
  DDX_Check(dx, IDC_UPDATE_YEAR, update[Year]);
  text(IDC_YEAR, Year);
  text(IDC_TRACK, Track);
  DDX_Text(dx, IDC_MODE_HELP, values.modeHelpText);
}

bool CTagEditDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  AddAboutToSystemMenu();
  ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  programDirectory_ = ProgramDirectory(ModuleFileName(nullptr));
  genres_.Load(programDirectory_);
  FillGenreList();
  session_.Start();
  session_.OnModeClicked();
  return true;
}

void CTagEditDlg::SaveControls(BoundValues& values) {
  if (pendingValues_) {
    // The controls would give back what was last shown to them.
    if (&values != pendingValues_) values = *pendingValues_;
    return;
  }
  bound_ = &values;
  UpdateData(true, /*validate=*/false);
  bound_ = nullptr;
}

void CTagEditDlg::ShowValues(BoundValues& values) {
  if (inBatch_) {
    pendingValues_ = &values;
    return;
  }
  bound_ = &values;
  UpdateData(false);
  bound_ = nullptr;
}

void CTagEditDlg::ShowTitle(const std::string& title) {
  if (inBatch_) {
    pendingTitle_ = title;
    return;
  }
  ::SetWindowTextW(hwnd(), WideFromUtf8(title).c_str());
}

void CTagEditDlg::EnableControl(ControlKind kind, std::optional<TagField> field, bool enabled) {
  if (CWnd* control = GovernedControl(kind, field); control && control->IsAttached()) control->EnableWindow(enabled);
}

CWnd* CTagEditDlg::GovernedControl(ControlKind kind, std::optional<TagField> field) {
  if (kind == ControlKind::UpdateButton) return &updateButton_;
  assert(field);  // every control but the Update button belongs to a field
  if (!field) return nullptr;
  switch (kind) {
    case ControlKind::UpdateBox: return &updateBoxes_[FieldIndex(*field)];
    case ControlKind::IncrementBox: return HasIncrementBox(*field) ? &incrementBoxes_[FieldIndex(*field)] : nullptr;
    case ControlKind::ValueControl:
      switch (*field) {
        case TagField::Track: return &trackEdit_;
        case TagField::Genre: return &genreList_;
        case TagField::Title: return &titleEdit_;
        case TagField::Artist: return &artistEdit_;
        case TagField::Album: return &albumEdit_;
        case TagField::Year: return &yearEdit_;
        case TagField::Comment: return &commentEdit_;
      }
      break;
    case ControlKind::UpdateButton: break;
  }
  return nullptr;
}

void CTagEditDlg::KeepModeButtonsOutOfTabOrder() const {
  // A radio button that gets checked gives itself a tab stop. The mode row is meant for the
  // mouse: Tab runs through the fields and "&Update" only, from the Track field on.
  for (int id : {IDC_MODE_EDIT, IDC_MODE_VIEW, IDC_MODE_UPDATE, IDC_MODE_AUTO_UPDATE}) {
    const HWND button = ::GetDlgItem(hwnd(), id);
    const LONG style = ::GetWindowLongW(button, GWL_STYLE);
    if (style & WS_TABSTOP) ::SetWindowLongW(button, GWL_STYLE, style & ~WS_TABSTOP);
  }
}

void CTagEditDlg::FillGenreList() {
  // Inserted at the list's own positions rather than added: among names that compare equal
  // the sorted control would choose its own place, and an index must name the same entry
  // in the control and in the list.
  genreList_.ResetContent();
  for (int index = 0; index < genres_.Count(); ++index) {
    const int at = genreList_.InsertString(index, genres_.NameAt(index));
    if (at >= 0) genreList_.SetItemData(at, genres_.CodeAt(index));
  }
}

void CTagEditDlg::AddAboutToSystemMenu() {
  const HMENU menu = ::GetSystemMenu(hwnd(), FALSE);
  if (!menu) return;
  // With a zero length LoadStringW hands out the resource text itself, of any length.
  const wchar_t* text = nullptr;
  const int length = ::LoadStringW(::GetModuleHandleW(nullptr), IDS_ABOUTBOX, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || !text) return;
  const std::wstring about(text, static_cast<std::size_t>(length));
  ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, about.c_str());
}

void CTagEditDlg::ShowAboutBox() {
  CAboutDlg about;
  about.DoModal();
}

MessageResult CTagEditDlg::OnSysCommand(WPARAM command, LPARAM) {
  // The system keeps the low four bits of a system command for itself.
  if ((command & 0xFFF0) != IDM_ABOUTBOX) return std::nullopt;
  ShowAboutBox();
  return 0;
}

MessageResult CTagEditDlg::OnPaint(WPARAM, LPARAM) {
  if (!::IsIconic(hwnd())) return std::nullopt;
  PAINTSTRUCT paint;
  const HDC dc = ::BeginPaint(hwnd(), &paint);
  ::SendMessageW(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  const int iconWidth = ::GetSystemMetrics(SM_CXICON);
  const int iconHeight = ::GetSystemMetrics(SM_CYICON);
  RECT client;
  ::GetClientRect(hwnd(), &client);
  const int x = (client.right - client.left - iconWidth + 1) / 2;
  const int y = (client.bottom - client.top - iconHeight + 1) / 2;
  ::DrawIcon(dc, x, y, icon_);
  ::EndPaint(hwnd(), &paint);
  return 0;
}

MessageResult CTagEditDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(icon_); }

void CTagEditDlg::OnUpdateClicked() {
  std::error_code unclosed;
  {
    ActionJournal journal(access_, "update");
    session_.UpdateTag();
    unclosed = journal.journal().Finish();
  }
  ReportAlone(session_.lastResult());
  TellIfNotClosed(JournalFolder(), unclosed);
}

void CTagEditDlg::OnFileUndo() {
  const std::filesystem::path folder = JournalFolder();
  std::error_code error;
  const std::vector<BatchEntry> batches = ListBatches(folder, error);
  if (folder.empty() || error) {
    TellUser(
        JournalUnavailableMessage(folder, error ? error : std::make_error_code(std::errc::no_such_file_or_directory)));
    return;
  }
  const BatchEntry* last = NewestNotTakenBack(batches);
  if (!last) {
    TellUser(kNothingToUndoMessage);
    return;
  }
  const BatchRead read = last->problem.empty() ? ReadBatch(BatchFile(folder, last->id), last->id)
                                               : BatchRead{std::nullopt, last->problem};
  if (!read.batch) {
    TellUser(UndoRefusedMessage(read.problem));
    return;
  }
  const std::size_t total = read.batch->files.size();
  if (!AskUser(UndoQuestion(read.batch->header, total, Now()))) return;
  FileTagAccess access;
  BatchJournal journal(folder, BatchHeader{0, kProgram, "undo", last->id});
  if (const std::error_code begun = journal.Begin()) {
    TellUser(JournalUnavailableMessage(folder, begun));
    return;
  }
  access.SetJournal(&journal);
  std::vector<UndoFileResult> failures;
  {
    const CWaitCursor wait;
    UndoBatch(*read.batch, access, [&](const UndoFileResult& result) {
      if (result.outcome != UndoOutcome::Restored && result.outcome != UndoOutcome::AlreadyAsBefore)
        failures.push_back(result);
      return true;
    });
  }
  const std::error_code unclosed = journal.Finish();
  if (!failures.empty()) TellUser(UndoFailureMessage(failures, total));
  TellIfNotClosed(folder, unclosed);
}

void CTagEditDlg::OnFileOpen() {
  CFileDialog dialog(L"mp3", L"Music files (*.mp3)|*.mp3||");
  const bool multiple = session_.mode() == EditMode::AutoUpdate;
  if (multiple) dialog.flags() |= OFN_ALLOWMULTISELECT;
  if (dialog.DoModal() != IDOK) {
    if (const std::wstring message = OpenDialogFailureMessage(dialog); !message.empty()) TellUser(message);
    return;
  }
  ProcessFiles(dialog.ranClassic() ? SplitOpenFileResult(dialog.result(), multiple) : dialog.paths());
}

MessageResult CTagEditDlg::OnDropFiles(WPARAM drop, LPARAM) {
  const bool autoUpdate = session_.mode() == EditMode::AutoUpdate;
  std::vector<std::filesystem::path> dropped;
  {
    const CDroppedFiles files(reinterpret_cast<HDROP>(drop));
    const UINT count = files.Count();
    dropped.reserve(count);
    for (UINT index = 0; index < count; ++index) dropped.push_back(files.Name(index));
  }
  const DropPlan plan = PlanDrop(dropped, autoUpdate);
  if (plan.files.empty()) {
    TellUser(plan.unreadableFolders.empty() ? DropRefusedMessage(autoUpdate)
                                            : FolderUnreadableMessage(plan.unreadableFolders));
    return 0;
  }
  ProcessFiles(plan.files);
  if (!plan.unreadableFolders.empty()) TellUser(FolderUnreadableMessage(plan.unreadableFolders));
  return 0;
}

void CTagEditDlg::OnHelp() { openDocument_(HelpPagePath(programDirectory_.native())); }

MessageResult CTagEditDlg::OnHelpRequest(WPARAM, LPARAM) {
  // F1 arrives here, whichever control has the focus, and only here: the system turns the
  // key into this one request.
  OnHelp();
  return TRUE;
}

void CTagEditDlg::ProcessFiles(std::span<const std::filesystem::path> paths) {
  if (paths.size() == 1) {
    std::error_code unclosed;
    {
      ActionJournal journal(access_, "stamp");
      session_.ProcessFile(paths.front());
      unclosed = journal.journal().Finish();
    }
    ReportAlone(session_.lastResult());
    TellIfNotClosed(JournalFolder(), unclosed);
  }
  if (paths.size() <= 1) return;

  std::vector<PathName> names;
  names.reserve(paths.size());
  for (const std::filesystem::path& path : paths) names.push_back(path.native());
  // Nothing is written unless the whole batch can be: numbered in the order of the names.
  const BatchOptions options;
  if (const std::optional<BatchRefusal> refusal = session_.CheckBatch(names, options)) {
    TellUserAbout(refusal->file ? BatchRefusalMessage(refusal->problem, names[*refusal->file], *refusal->file + 1,
                                                      names.size(), ::GetACP())
                                : ValueMessage(refusal->problem, ::GetACP()),
                  refusal->problem.field);
    return;
  }
  ActionJournal journal(access_, "stamp");
  // A journal that cannot be written stops the batch before its first file.
  if (const std::error_code error = journal.journal().Begin()) {
    TellUser(JournalUnavailableMessage(journal.journal().folder(), error));
    return;
  }
  std::vector<FileResult> failures;
  std::optional<std::size_t> stoppedAt;
  {
    const CWaitCursor wait;
    struct Batch {
      CTagEditDlg& dialog;
      explicit Batch(CTagEditDlg& d) : dialog(d) { dialog.inBatch_ = true; }
      ~Batch() {
        dialog.inBatch_ = false;
        // A destructor must not throw; a window left showing older values is the lesser harm.
        try {
          dialog.ShowPending();
        } catch (...) {
        }
      }
    } batch(*this);
    BatchProgress progress(
        names.size(), [this](auto... where) { ShowProgress(where...); }, clock_);
    progress.Starting(1, names.front());
    session_.RunBatch(names, options, [&](std::size_t index, const FileResult& result) {
      if (result.write.status == WriteResult::Status::NotJournaled) {
        stoppedAt = index;
        failures.push_back(result);
        return false;
      }
      if (result.failed()) failures.push_back(result);
      if (index + 1 < names.size()) progress.Starting(index + 2, names[index + 1]);
      return true;
    });
  }
  const std::error_code unclosed = journal.journal().Finish();
  if (stoppedAt) {
    TellUser(JournalStoppedMessage(journal.journal().folder(), failures.back(), *stoppedAt + 1, names.size()));
    failures.pop_back();
  }
  if (!failures.empty()) TellUser(BatchFailureMessage(failures, names.size()));
  if (!stoppedAt) TellIfNotClosed(journal.journal().folder(), unclosed);
}

void CTagEditDlg::TellIfNotClosed(const std::filesystem::path& folder, const std::error_code& unclosed) {
  if (unclosed) TellUser(JournalNotClosedMessage(folder, unclosed));
}

void CTagEditDlg::ReportAlone(const FileResult& result) {
  if (result.outcome == FileOutcome::ValueRefused && result.problem) {
    TellUserAbout(ValueMessage(*result.problem, ::GetACP()), result.problem->field);
  } else if (result.failed()) {
    TellUser(FailureMessage(result));
  }
}

void CTagEditDlg::TellUser(const std::wstring& text) {
  ::MessageBoxW(hwnd(), text.c_str(), ApplicationName().c_str(), MB_ICONEXCLAMATION | MB_OK);
}

void CTagEditDlg::TellUserAbout(const std::wstring& text, TagField field) {
  TellUser(text);
  FocusField(field);
}

bool CTagEditDlg::AskUser(const std::wstring& question) {
  return ::MessageBoxW(hwnd(), question.c_str(), ApplicationName().c_str(), MB_ICONQUESTION | MB_YESNO) == IDYES;
}

void CTagEditDlg::ShowPending() {
  if (BoundValues* values = std::exchange(pendingValues_, nullptr)) {
    bound_ = values;
    UpdateData(false);
    bound_ = nullptr;
  }
  if (pendingTitle_) ::SetWindowTextW(hwnd(), WideFromUtf8(*std::exchange(pendingTitle_, std::nullopt)).c_str());
}

void CTagEditDlg::FocusField(TagField field) {
  CWnd* control = GovernedControl(ControlKind::ValueControl, field);
  if (!control || !control->IsAttached()) return;
  ::SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control->hwnd()), TRUE);
  if (field != TagField::Genre) ::SendMessageW(control->hwnd(), EM_SETSEL, 0, -1);
}

void CTagEditDlg::ShowProgress(std::size_t position, std::size_t total, const std::filesystem::path& file) {
  // The title from before comes back at the end unless the batch gives the window another.
  if (!pendingTitle_) pendingTitle_ = Utf8FromWide(GetWindowTextWide(hwnd()));
  ::SetWindowTextW(hwnd(), BatchProgressTitle(position, total, file).c_str());
  // Painting only: a click or a key still waits for the batch to end. Looking at the queue
  // also tells the system the window is alive. Bounded, should a window never validate.
  MSG message;
  for (int i = 0; i < 64 && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT); ++i) {
    ::DispatchMessageW(&message);
  }
}

}  // namespace pelmix::ui
