// Where the genre list comes from: the named file, genre.txt beside the program, or the built-in copy.
#include "cli/genre_source.h"

#include <string>
#include <string_view>
#include <system_error>

#include "cli/builtin_genres.h"
#include "cli/options.h"
#include "cli/text_display.h"

#ifdef _WIN32
#include <windows.h>
#elif defined(__APPLE__)
#include <cstdint>
#include <mach-o/dyld.h>
#endif

namespace pelmix::cli {
namespace {

// The shipped genre.txt, as built into the program.
std::string_view BuiltInGenreText() {
  return {reinterpret_cast<const char*>(kBuiltInGenreText), static_cast<std::size_t>(kBuiltInGenreTextSize)};
}

}  // namespace

std::filesystem::path ProgramDirectory() {
#ifdef _WIN32
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return {};
    if (length < name.size()) {
      name.resize(length);
      break;
    }
    name.resize(name.size() * 2);
  }
  return std::filesystem::path(name).parent_path();
#elif defined(__APPLE__)
  std::uint32_t size = 0;
  _NSGetExecutablePath(nullptr, &size);
  std::string name(size, '\0');
  if (_NSGetExecutablePath(name.data(), &size) != 0) return {};
  name.resize(name.find('\0'));
  std::error_code error;
  const auto resolved = std::filesystem::canonical(name, error);
  return error ? std::filesystem::path() : resolved.parent_path();
#else
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : self.parent_path();
#endif
}

GenreList LoadGenres(const std::optional<std::filesystem::path>& namedFile,
                     const std::filesystem::path& programDirectory) {
  GenreList genres;
  if (namedFile) {
    std::error_code why;
    if (!genres.LoadFile(*namedFile, why)) {
      throw UsageError("--genres: cannot read " + Printable(PathText(*namedFile)) + ": " + ErrorReason(why));
    }
    return genres;
  }
  if (!programDirectory.empty() && genres.Load(programDirectory)) return genres;
  for (GenreEntry& entry : ParseGenreText(BuiltInGenreText())) genres.Add(std::move(entry.name), entry.code);
  return genres;
}

}  // namespace pelmix::cli
