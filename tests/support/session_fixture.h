// A session on a recording exchange with a small genre list, and files in a temp dir.
#pragma once

#include <gtest/gtest.h>

#include "core/genre_list.h"
#include "session/tag_edit_session.h"
#include "tests/support/recording_exchange.h"
#include "tests/support/temp_dir.h"

namespace pelmix::test {

class SessionTest : public testing::Test {
 protected:
  SessionTest() {
    genres.Add("Blues", 0);
    genres.Add("Rock", 17);
    genres.Add("Alt Rock", 17);
    genres.Add("No genre", 255);
    genres.Add("Big", 300);
  }

  // The window's start-up: Start, then the mode applied as a click on a mode button does.
  void StartIn(EditMode mode) {
    session.Start();
    exchange.controls.mode = static_cast<int>(mode);
    session.OnModeClicked();
    exchange.ClearCalls();
  }

  std::filesystem::path MakeFile(const std::string& name, const Bytes& content) {
    const auto path = dir / name;
    WriteFile(path, content);
    return path;
  }

  FieldValues& controls() { return exchange.controls.fields; }
  int GenreIndex(const std::string& name) const {
    for (int i = 0; i < genres.Count(); ++i) {
      if (genres.NameAt(i) == name) return i;
    }
    return -1;
  }

  TempDir dir;
  GenreList genres;
  RecordingExchange exchange;
  TagEditSession session{genres, exchange};
};

}  // namespace pelmix::test
