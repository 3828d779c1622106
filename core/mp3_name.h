// Whether a file name names an .mp3 file: the test a dropped file and a command-line
// operand must pass before anything is written to it.
#pragma once

#include <filesystem>

namespace pelmix {

// True when the last component of the name ends in ".mp3", ASCII letters folded and no
// other character. The last component follows the last backslash or slash, a leading drive
// letter and colon set aside, so a dot in a folder name never starts an extension. ".mp3"
// alone passes; "song.mp3.bak" does not.
bool HasMp3Extension(const std::filesystem::path& name);
// The same on a name as the system gives it, without making a path of it.
bool HasMp3Extension(const std::filesystem::path::string_type& name);

}  // namespace pelmix
