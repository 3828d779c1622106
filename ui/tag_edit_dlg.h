// The main window: binds its controls to the editing session and routes every user action
// to one session operation.
#pragma once

#include <windows.h>

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "core/genre_list.h"
#include "session/control_exchange.h"
#include "session/tag_edit_session.h"
#include "ui/batch_progress.h"
#include "ui/framework/data_exchange.h"
#include "ui/framework/dialog.h"

namespace pelmix::ui {

class CTagEditDlg : public CDialog, public ControlExchange {
 public:
  CTagEditDlg();

  void SaveControls(BoundValues& values) override;
  void ShowValues(BoundValues& values) override;
  void ShowTitle(const std::string& title) override;
  void EnableControl(ControlKind kind, std::optional<TagField> field, bool enabled) override;

  TagEditSession& session() { return session_; }
  const GenreList& genres() const { return genres_; }
  // The executable's directory, ending in a backslash; set while the window initialises.
  const std::filesystem::path& programDirectory() const { return programDirectory_; }
  // What Help does with the help page's path; the shell's "open" unless a test looks instead.
  void SetDocumentOpener(std::function<void(const std::wstring&)> opener) { openDocument_ = std::move(opener); }
  // The clock a batch shows its progress by; the steady clock unless a test turns its own.
  void SetClock(BatchProgress::Clock clock) { clock_ = std::move(clock); }

 protected:
  std::span<const MessageEntry> GetMessageMap() const override;
  void DoDataExchange(CDataExchange& dx) override;
  bool OnInitDialog() override;

 private:
  MessageResult OnSysCommand(WPARAM command, LPARAM);
  MessageResult OnPaint(WPARAM, LPARAM);
  MessageResult OnQueryDragIcon(WPARAM, LPARAM);
  void OnModeClicked() { session_.OnModeClicked(); }
  template <TagField Field>
  void OnUpdateBoxClicked() {
    session_.OnUpdateBoxClicked(Field);
  }
  void OnUpdateClicked();
  void OnAbout() { ShowAboutBox(); }
  void OnExit() { OnOK(); }
  void OnFileOpen();
  void OnFileUndo();
  MessageResult OnDropFiles(WPARAM drop, LPARAM);
  void OnHelp();
  MessageResult OnHelpRequest(WPARAM, LPARAM);

  // Each file in turn through the session; tells the user what failed.
  void ProcessFiles(std::span<const std::filesystem::path> paths);
  void ReportAlone(const FileResult& result);
  void TellUser(const std::wstring& text);
  // A journal the system could not close may have lost records: the action may not be taken back.
  void TellIfNotClosed(const std::filesystem::path& folder, const std::error_code& unclosed);
  // A value refused: the message, and the focus in the field it is about.
  void TellUserAbout(const std::wstring& text, TagField field);
  bool AskUser(const std::wstring& question);
  void FocusField(TagField field);
  void ShowPending();
  void ShowProgress(std::size_t position, std::size_t total, const std::filesystem::path& file);

  void ShowAboutBox();
  void AddAboutToSystemMenu();
  void FillGenreList();
  void KeepModeButtonsOutOfTabOrder() const;
  CWnd* GovernedControl(ControlKind kind, std::optional<TagField> field);

  static const MessageEntry kMessageMap[];

  GenreList genres_;
  // The session's reads and writes, and the journal each action that writes keeps of them.
  FileTagAccess access_;
  TagEditSession session_;
  HICON icon_;
  std::filesystem::path programDirectory_;
  std::function<void(const std::wstring&)> openDocument_;
  BatchProgress::Clock clock_ = &std::chrono::steady_clock::now;
  // During a batch the user cannot type and the window only paints (its title shows where the
  // batch is), so what the session shows goes to the controls once, at the end; until then
  // the controls stand for it.
  bool inBatch_ = false;
  BoundValues* pendingValues_ = nullptr;
  std::optional<std::string> pendingTitle_;
  // The values an exchange works on: the session's own during SaveControls and ShowValues.
  BoundValues* bound_ = nullptr;

  CButton updateButton_;
  CEdit yearEdit_;
  CEdit trackEdit_;
  CEdit titleEdit_;
  CEdit commentEdit_;
  CEdit artistEdit_;
  CEdit albumEdit_;
  CComboBox genreList_;
  // Indexed by TagField; Genre and Year have no "Auto Increment" box.
  std::array<CButton, kTagFieldCount> updateBoxes_;
  std::array<CButton, kTagFieldCount> incrementBoxes_;
};

}  // namespace pelmix::ui
