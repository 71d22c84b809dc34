// Keys compare as raw unsigned bytes: all ordering work is done when a key is
// built, so the tree never interprets key contents.
#pragma once

#include <cstddef>
#include <cstdint>

namespace isam {

// 0 when the first `length` bytes are equal; otherwise the sign is that of the
// first differing byte pair (a - b) and the magnitude is its position + 1,
// which is what leading-byte compression uses.
int KeyCompare(const uint8_t* a, const uint8_t* b, std::size_t length);

}  // namespace isam
