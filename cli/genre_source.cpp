// Where the genre list comes from: the named file, genre.txt beside the program, or the built-in copy.
#include "cli/genre_source.h"

#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "cli/builtin_genres.h"
#include "cli/options.h"
#include "cli/text_display.h"
#include "core/file_error.h"

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

// A list named on the command line is the user's own, written for this run: a line the
// window would take as code 0, or cut in two, is a mistake in it, and it is refused with its
// line number instead of showing a name under a code it was not meant for.
std::vector<GenreEntry> ReadNamedGenreFile(const std::filesystem::path& file) {
  const std::string shownName = Printable(PathText(file));
  std::string raw;
  std::error_code why;
  if (!ReadGenreFile(file, raw, why)) {
    const bool folder = KindOf(why) == FileErrorKind::IsADirectory;
    throw UsageError("--genres: cannot read " + shownName + ": " + (folder ? "is a folder" : ErrorReason(why)));
  }
  std::vector<GenreLine> lines = ParseGenreLines(raw);
  std::vector<GenreEntry> entries;
  entries.reserve(lines.size());
  for (GenreLine& line : lines) {
    const std::string where = "--genres: " + shownName + ", line " + std::to_string(line.line) + ": ";
    if (line.continued) throw UsageError(where + "longer than " + std::to_string(kGenreLinePiece) + " characters");
    if (!line.hasCode) throw UsageError(where + "no genre number before the name");
    entries.push_back(std::move(line.entry));
  }
  return entries;
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
    genres.Assign(ReadNamedGenreFile(*namedFile));
    return genres;
  }
  // genre.txt beside the program is the window's file as well, read by the window's rules,
  // so that the two never show a code under different names.
  if (!programDirectory.empty() && genres.Load(programDirectory)) return genres;
  for (GenreEntry& entry : ParseGenreText(BuiltInGenreText())) genres.Add(std::move(entry.name), entry.code);
  return genres;
}

}  // namespace pelmix::cli
