// Conditions as a data file stores them ("EN!CIDX") and the calls that
// read, set and replace them. Every call reports its code in eng_err; the
// numbered calls also as the ISAM error of the file.
#pragma once

#include <cstdint>

#include "isam/maint/expr/expr_node.h"

namespace isam::maint {

// Compiles text against open data file `data_file` (its schema and field
// names): 1 with the tree in *out (or freed at once when out is null: a
// syntax check), 0 on failure with eng_err 596 (no schema or names) or 597
// (the text does not compile).
int ExprCompileForFile(int data_file, const char* text, ExprNode** out);

// The body length of the file's "EN!CIDX" (the resource less its prefix),
// copied into buffer when it is given and long enough. 0 with eng_err (and
// the ISAM error) 408 / 401 / 438 when there is none, 83 no memory, read
// codes.
int32_t CondIndexGetImage(int data_file, int32_t buffer_length, void* buffer);

// The condition text of index `index` (length with its zero; copied when
// buffer_length reaches it); 0 when it has none (eng_err 0), or with 614
// when the index is not in the ISAM tables.
int32_t CondIndexGetText(int index, int32_t buffer_length, char* buffer);

// Stores a whole body, or (null body or both counts 0) removes the
// resource, and puts the file's set in step. The body is compiled first:
// nothing is written when it fails. 48 an index file; 62 opened shared or
// read-only; 595 a length shorter than the entries and texts need; 596 /
// 597 / 435 the compile's codes; 83 no memory; resource codes.
int CondIndexStore(int data_file, const void* body, int32_t length);

// Sets, replaces or (null or empty text) removes the condition of index
// `index`, then brings the index in line with it: keys the condition now
// denies are deleted and keys it grants are added before the call returns.
// 614 not an ISAM index; 62 the data file opened shared or read-only; 597
// the text does not compile or is 65,535 bytes or longer (nothing changes); 690 a damaged stored body;
// the store's and the key updates' codes (a key update failing part way
// marks the data file corrupt: a rebuild mends it).
int CondIndexSetText(int index, const char* text);

}  // namespace isam::maint
