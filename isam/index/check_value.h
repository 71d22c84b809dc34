// CRC-32 (the common reflected polynomial 0xEDB88320), fed in pieces: the
// check values records and index nodes carry are made of it.
#pragma once

#include <cstdint>

namespace isam {

// The CRC of `length` bytes continued from `crc` (0 to start).
uint32_t Crc32(const void* data, uint32_t length, uint32_t crc = 0);

}  // namespace isam
