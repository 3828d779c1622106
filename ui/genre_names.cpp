// Ordering genre names with CompareStringA, as the sorted list control does.
#include "ui/genre_names.h"

#include <windows.h>

#include <climits>

#include "core/genre_list.h"

namespace pelmix::ui {

int CompareGenreNames(std::string_view a, std::string_view b) {
  if (a.size() > INT_MAX || b.size() > INT_MAX) return GenreList::CompareIgnoringCase(a, b);
  // The sorted list control compares its items in the user's default locale, ignoring case.
  const int result = ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                                      b.data(), static_cast<int>(b.size()));
  if (result == 0) return GenreList::CompareIgnoringCase(a, b);
  return result - CSTR_EQUAL;
}

}  // namespace pelmix::ui
