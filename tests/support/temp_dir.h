// A fresh directory for one test's files, removed with everything in it at the end.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pelmix::test {

using Bytes = std::vector<std::uint8_t>;

class TempDir {
 public:
  TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

void WriteFile(const std::filesystem::path& path, const Bytes& bytes);
void WriteFile(const std::filesystem::path& path, std::string_view text);
Bytes ReadFile(const std::filesystem::path& path);
// A 128-byte trailer image with the given text fields; fields not named stay zero.
Bytes TagBytes(std::string_view title, std::string_view artist = {}, std::string_view album = {},
               std::string_view year = {}, std::string_view comment = {}, std::uint8_t track = 0,
               std::uint8_t genre = 255);
// size bytes of audio that holds no "TAG" anywhere: 0x01, 0x02, ... wrapping below 'A'.
Bytes Audio(std::size_t size);
Bytes Concat(Bytes a, const Bytes& b);

// A path as UTF-8, the way the programs print it.
std::string Utf8(const std::filesystem::path& path);

}  // namespace pelmix::test
