// What the read and update halves of the ISAM record layer share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "isam/record/isam_record_tables.h"

namespace isam {

struct FileControlBlock;

namespace isam_record {

// The data file row of `file`, or null with the ISAM error 48 (not a data
// file of an ISAM file set) or the file-number code.
IsamFileRow* DataRow(int file, FileControlBlock** fcb);
bool IsVariable(const FileControlBlock* fcb);

// Reads the whole record at position (variable: used length; fixed: record
// length) into out. 160 for a deleted or unwritten record, 158 a bad mark.
int ReadWholeRecord(FileControlBlock* fcb, uint32_t position, std::vector<uint8_t>* out);

// Builds every index's current key from the record and makes it current.
int MakeCurrent(int file, IsamFileRow* row, uint32_t position, const std::vector<uint8_t>& record, int key);

// A read through index `key` by mode on a target in stored form, with the
// retries and leftover-key handling of the reads by key: a found key that
// does not begin with the first leading_length bytes of `leading` counts as
// nothing found (101). The code, not yet the ISAM error.
int ReadByStoredTarget(int key, const uint8_t* target, char mode, const uint8_t* leading,
                       std::size_t leading_length, void* buffer, int32_t* length);

// ISAM error return.
int Fail(int code, int file);

// A rewrite whose new form is written and whose keys still name the old
// one (write_batch.h): where each form lies, the new form's bytes and the
// keys of the old one, index by index in the row's order.
struct DeferredRewrite {
  uint32_t old_position = 0;
  uint32_t new_position = 0;
  std::vector<uint8_t> data;
  std::vector<std::vector<uint8_t>> old_keys;
};

// Puts a rewrite into the file's open batch.
void DeferRewrite(int file, DeferredRewrite rewrite);
// Whether a pending rewrite of the file has either form at position (that
// rewrite copied to *found).
bool RewriteDeferredAt(int file, uint32_t position, DeferredRewrite* found);
// The second half of a deferred rewrite, once its new form is on the disk:
// the keys move to it and the old form goes. On failure the new form is
// given back and the record keeps its old form (the code is returned).
int FinishDeferredRewrite(int file, const DeferredRewrite& rewrite);
// Gives a deferred rewrite's new form back (its flush failed).
void DropDeferredRewrite(int file, const DeferredRewrite& rewrite);

}  // namespace isam_record
}  // namespace isam
