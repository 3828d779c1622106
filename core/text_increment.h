// Counting up the decimal number written in a text, for batches of consecutive values.
#pragma once

#include <string>

namespace pelmix {

// Adds one to the number formed by all the text's digits read left to right (other
// characters passed over and kept in place); a text without digits gets "1" appended.
std::string IncrementText(std::string text);

}  // namespace pelmix
