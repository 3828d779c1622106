// Setting the environment variable both front ends find the journal by.
#include "tests/support/journal_folder.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

namespace pelmix::test {
namespace {

#ifdef _WIN32
constexpr const wchar_t* kName = L"PELMIX_STATE_DIR";
// The process's block for the programs it starts, the C runtime's copy for this one.
void Set(const std::wstring& value) {
  ::SetEnvironmentVariableW(kName, value.empty() ? nullptr : value.c_str());
  _wputenv_s(kName, value.c_str());
}
const wchar_t* Get() { return _wgetenv(kName); }
#else
constexpr const char* kName = "PELMIX_STATE_DIR";
void Set(const std::string& value) {
  if (value.empty()) {
    ::unsetenv(kName);
  } else {
    ::setenv(kName, value.c_str(), 1);
  }
}
const char* Get() { return std::getenv(kName); }
#endif

}  // namespace

JournalFolderSet::JournalFolderSet(const std::filesystem::path& folder) {
  if (const auto* set = Get()) saved_ = set;
  Set(folder.native());
}

JournalFolderSet::~JournalFolderSet() { Set(saved_.value_or(std::filesystem::path::string_type())); }

}  // namespace pelmix::test
