// The trailer's text fields as the test models spell them out, apart from the product's own
// field table, so that a wrong entry there cannot hide in both.
#pragma once

#include <cstddef>

#include "core/tag_field.h"

namespace pelmix::test {

struct ModelSpan {
  TagField field;
  std::ptrdiff_t offset, width;
};

inline constexpr ModelSpan kModelTextSpans[] = {{TagField::Title, 3, 30},
                                                {TagField::Artist, 33, 30},
                                                {TagField::Album, 63, 30},
                                                {TagField::Year, 93, 4},
                                                {TagField::Comment, 97, 29}};

}  // namespace pelmix::test
