// Bounds an iCalendar text before the library parses it. Internal to
// storage/ical.
#pragma once

#include <cstddef>
#include <string>

namespace icalx {

// A copy of the text without the lines nested deeper than maxNesting
// BEGIN levels (each such component is left out whole, its BEGIN and END
// included: deep nesting overflows the library's recursion) and without
// every property whose unfolded length exceeds maxPropertyBytes (all its
// folded lines), and without the properties of a component past the first
// maxPropertiesPerComponent (the library's handling of many faulty values
// in one component takes quadratic time). Lines end in "\r\n" in the copy.
// Linear in the text. *tooLong (when given) counts the properties left out
// for their length.
std::string BoundICalText(const std::string& text, int maxNesting, size_t maxPropertyBytes,
                          size_t maxPropertiesPerComponent, size_t* tooLong = nullptr);

}  // namespace icalx
