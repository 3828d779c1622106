// The window's texts by field, for code that goes through the fields in a loop.
#include "session/bound_values.h"

#include <cassert>
#include <stdexcept>

namespace pelmix {

const std::string& FieldValues::Text(TagField field) const {
  assert(field != TagField::Genre);
  switch (field) {
    case TagField::Track: return trackText;
    case TagField::Title: return title;
    case TagField::Artist: return artist;
    case TagField::Album: return album;
    case TagField::Year: return year;
    case TagField::Comment: return comment;
    case TagField::Genre: break;
  }
  throw std::invalid_argument("the genre is an index, not a text");
}

std::string& FieldValues::Text(TagField field) {
  return const_cast<std::string&>(static_cast<const FieldValues&>(*this).Text(field));
}

}  // namespace pelmix
