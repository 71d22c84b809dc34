// Byte-order helpers for the on-disk layouts of headers and nodes: every
// integer is read and written byte by byte, never by copying a struct. The
// helpers themselves are the runtime's (little-endian fields, big-endian
// record positions inside keys).
#pragma once

#include "isam/runtime/runtime_utils.h"
