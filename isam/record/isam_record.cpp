#include "isam/record/isam_record.h"

#include <cstring>
#include <vector>

#include "isam/index/btree_bytes.h"
#include "isam/index/btree_update.h"
#include "isam/index/file_control_block.h"
#include "isam/index/free_space.h"
#include "isam/index/free_space_index.h"
#include "isam/index/header_lock.h"
#include "isam/index/varlen_record.h"
#include "isam/index/writer_mark.h"
#include "isam/record/fixed_record.h"
#include "isam/record/isam_record_internal.h"
#include "isam/record/isam_record_keys.h"
#include "isam/record/record_lock.h"
#include "isam/record/write_batch.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/os_file_layer.h"

namespace isam {

using namespace isam_record;

namespace {

struct KeyChange {
  int16_t key;
  std::vector<uint8_t> added;    // key added (empty: none)
  uint32_t added_position = 0;
  std::vector<uint8_t> removed;  // key removed (empty: none)
  uint32_t removed_position = 0;
  bool replaced = false;         // a unique key whose position was replaced
};

// Undoes key changes in reverse order: 0, or 105 when an undo failed.
int UndoKeyChanges(std::vector<KeyChange>& changes) {
  int rc = 0;
  for (auto it = changes.rbegin(); it != changes.rend(); ++it) {
    if (it->replaced) {
      if (addkey(it->key, it->removed.data(), it->removed_position, kAddReplacePosition) != 0) rc = 105;
      continue;
    }
    if (!it->added.empty() && delkey(it->key, it->added.data(), it->added_position, 0) != 0) rc = 105;
    if (!it->removed.empty() && addkey(it->key, it->removed.data(), it->removed_position, 0) != 0) rc = 105;
  }
  return rc;
}

// Gives back the space of a record that never became one.
void GiveBack(FileControlBlock* fcb, int file, uint32_t position) {
  if (IsVariable(fcb)) FreeVarSpace(fcb, position, true);
  else ReleaseDataRecord(file, position);
}

// The record with its serial-number field filled from the counter the
// allocation just raised.
std::vector<uint8_t> WithSerial(const IsamFileRow* row, const FileControlBlock* fcb, const void* record,
                                uint32_t length) {
  const auto* r = static_cast<const uint8_t*>(record);
  std::vector<uint8_t> copy(r, r + length);
  if (row->serial_offset >= 0 && static_cast<uint32_t>(row->serial_offset) + 4 <= length)
    PutLe32(copy.data() + row->serial_offset, fcb->header.serial_counter);
  return copy;
}

// An add or rewrite makes its record current and keeps the record that was
// current in the saved slot (SaveRestoreCurrent 2 goes back to it).
void KeepCurrentAsSaved(IsamFileRow* row) {
  IsamTables* t = CurrentIsamTables();
  row->saved = row->current;
  for (int16_t k : row->keys) t->Key(k).saved_key = t->Key(k).current_key;
}

// Every update passes here: the writer of a variable-length file (the kind
// the open knows how to mend) is counted in the header's mark before its
// first change reaches the file, so a crash after it is seen.
int CheckUpdate(int file, FileControlBlock* fcb) {
  if (int rc = UpdateAllowed(fcb)) return rc;
  if (IsVariable(fcb)) {
    if (int rc = MarkWriter(fcb)) return rc;
  }
  (void)file;
  return 0;
}

// Where a rewrite puts the record: in place (position == current) or, moved,
// into a new stretch; an in-place rewrite keeps the old image for its undo.
struct RewriteTarget {
  uint32_t current = 0;
  uint32_t position = 0;
  bool moved = false;
  std::vector<uint8_t> old_image;
};

// Puts the file back as it was before a rewrite whose keys did not (or no
// longer) name the new form: a new stretch goes back, a record written in
// place gets its old image again.
void UndoRecordWrite(FileControlBlock* fcb, int file, const RewriteTarget& t) {
  if (t.moved) {
    GiveBack(fcb, file, t.position);
    LockRecord(file, kLockUnlock, t.position);
  } else if (IsVariable(fcb)) {
    WriteVarRecordAt(fcb, t.current, t.old_image.data(), static_cast<uint32_t>(t.old_image.size()), true);
  } else {
    WriteDataRecordAt(file, t.current, t.old_image.data());
  }
}

// Gives back the stretch a rewrite moved the record out of, once no key
// names it. The record in it is first marked unfilled (used length 0), so
// that whatever the free meets, the old copy can never again count as a
// live record beside the new one: a free that fails leaves at worst a
// claimed stretch that holds nothing. The stretch is still this writer's
// until the free, so the mark needs no header lock (and a failing header
// lock cannot keep it from being made).
void ReleaseMovedStretch(FileControlBlock* fcb, int file, uint32_t position) {
  VarRecordHeader h;
  if (ReadVarRecordHeader(fcb, position, &h) == 0 && h.mark == kMarkActive && h.used != 0) {
    h.used = 0;
    WriteVarRecordHeader(fcb, position, h);
  }
  // Unlocked before it is free: from then on another process may claim the
  // stretch at once and must be able to lock it.
  LockRecord(file, kLockUnlock, position);
  FreeVarSpace(fcb, position, true);
}

// Switches every index of the data file from the record's current keys to
// the keys of its new form at t.position. A failure undoes the switches made
// so far and returns the code (105 when an undo failed too), with the index
// it concerns in *failed_key.
int RewriteRecordKeys(IsamFileRow* row, const RewriteTarget& t, const uint8_t* data, uint32_t length,
                      const std::vector<std::vector<uint8_t>>& old_keys, int* failed_key) {
  IsamTables* tables = CurrentIsamTables();
  std::vector<KeyChange> changes;
  uint8_t key[256];
  for (std::size_t i = 0; i < row->keys.size(); ++i) {
    const int16_t k = row->keys[i];
    const int n = BuildRecordKey(k, data, length, t.position, key);
    IsamKeyRow& kr = tables->Key(k);
    const std::vector<uint8_t>& old = old_keys[i];
    int failure = n < 0 ? -n : 0;
    KeyChange c;
    c.key = k;
    if (failure == 0) {
      const bool same_value = n > 0 && static_cast<int>(old.size()) == n &&
                              std::memcmp(old.data(), key, static_cast<std::size_t>(kr.def.duplicates ? n - 4 : n)) == 0;
      if (same_value && !t.moved) {
        continue;
      } else if (same_value && !kr.def.duplicates) {
        failure = addkey(k, key, t.position, kAddReplacePosition);
        c.replaced = true;
        c.removed = old;
        c.removed_position = t.current;
      } else {
        if (n > 0) {
          failure = addkey(k, key, t.position, 0);
          if (failure == 0) {
            c.added.assign(key, key + n);
            c.added_position = t.position;
          }
        }
        if (failure == 0 && !old.empty()) {
          // A key already gone was taken out as a leftover by a reader (or
          // lost with a writer that died half-way): it counts as removed,
          // so an undo puts it back beside the old image.
          failure = delkey(k, old.data(), t.current, 0);
          if (failure == 4) failure = 0;
          if (failure == 0) {
            c.removed = old;
            c.removed_position = t.current;
          } else if (!c.added.empty()) {
            delkey(k, c.added.data(), t.position, 0);  // the old key stayed: this one goes again
          }
        }
      }
    }
    if (failure != 0) {
      const int undo = UndoKeyChanges(changes);
      *failed_key = k;
      return undo ? undo : failure;
    }
    changes.push_back(std::move(c));
  }
  return 0;
}

// The current key of each index of the row, in the row's order.
std::vector<std::vector<uint8_t>> CurrentKeys(const IsamFileRow* row) {
  IsamTables* t = CurrentIsamTables();
  std::vector<std::vector<uint8_t>> keys;
  keys.reserve(row->keys.size());
  for (int16_t k : row->keys) keys.push_back(t->Key(k).current_key);
  return keys;
}

// Before a rewrite or delete of a record a batch holds pending: the batch's
// pending part is finished, and when the record was current by its old
// form (read by key meanwhile) and has moved, its new form becomes current.
int SettleDeferred(int file, IsamFileRow* row, FileControlBlock* fcb) {
  DeferredRewrite moved;
  if (!RewriteDeferredAt(file, row->current, &moved)) return 0;
  const uint32_t current = row->current;
  const int rc = FinishPendingRewrites(file);
  if (current != moved.old_position) return rc;  // current by its new form already
  VarRecordHeader h;
  if (ReadVarRecordHeader(fcb, current, &h) == 0 && h.mark == kMarkActive && h.used != 0) return rc;
  MakeCurrent(file, row, moved.new_position, moved.data, -1);
  return rc;
}

// Adds the keys of a new record at position to every index in list order
// (a record without a key in an index is skipped). The first failure takes
// the keys added so far out again, in reverse order, and returns its code
// (2: the key exists) with that index in *failed_key.
int AddRecordKeys(const IsamFileRow* row, const std::vector<uint8_t>& data, uint32_t position,
                  int* failed_key) {
  std::vector<KeyChange> changes;
  uint8_t key[256];
  for (int16_t k : row->keys) {
    const int n = BuildRecordKey(k, data.data(), data.size(), position, key);
    int failure = n < 0 ? -n : 0;
    if (n > 0) failure = addkey(k, key, position, 0);
    if (failure != 0) {
      // A failed addkey left its tree and count as they were.
      UndoKeyChanges(changes);
      *failed_key = k;
      return failure;
    }
    if (n > 0) {
      KeyChange c;
      c.key = k;
      c.added.assign(key, key + n);
      c.added_position = position;
      changes.push_back(std::move(c));
    }
  }
  return 0;
}

// Deletes the current record's key (its ISAM current key) from every index.
// A key already gone was taken out as a leftover by a reader and is passed.
// The first failure puts the deleted keys back and returns its code with
// that index in *failed_key; on success *changes lists what went, for the
// caller to undo when the record's space cannot be given back.
int DeleteRecordKeys(const IsamFileRow* row, uint32_t current, std::vector<KeyChange>* changes,
                     int* failed_key) {
  IsamTables* t = CurrentIsamTables();
  for (int16_t k : row->keys) {
    const std::vector<uint8_t>& old = t->Key(k).current_key;
    if (old.empty()) continue;
    const int failure = delkey(k, old.data(), current, 0);
    if (failure == 4) continue;
    if (failure != 0) {
      // A failed delkey left the key in its tree.
      UndoKeyChanges(*changes);
      changes->clear();
      *failed_key = k;
      return failure;
    }
    KeyChange c;
    c.key = k;
    c.removed = old;
    c.removed_position = current;
    changes->push_back(std::move(c));
  }
  return 0;
}

}  // namespace

int IsamRecordAdd(int file, const void* record, int32_t length) {
  IoStepScope step;
  FileControlBlock* fcb = nullptr;
  IsamFileRow* row = DataRow(file, &fcb);
  if (row == nullptr) return CurrentInstance()->isam_error;
  if (record == nullptr) return Fail(33, file);
  const bool var = IsVariable(fcb);
  if (!var && fcb->header.file_type != kFileTypeFixed) return Fail(48, file);
  if (var && length < 0) return Fail(634, file);
  if (var && length < fcb->header.record_length) return Fail(149, file);
  if (!var) length = fcb->header.record_length;
  if (int rc = CheckUpdate(file, fcb)) return Fail(rc, file);
  const uint32_t position = var ? AllocVarSpace(fcb, static_cast<uint32_t>(length), kAllocBestFit, true)
                                : NewDataRecord(file);
  if (position == 0) return Fail(CurrentInstance()->eng_err ? CurrentInstance()->eng_err : 44, file);
  const std::vector<uint8_t> data = WithSerial(row, fcb, record, static_cast<uint32_t>(length));
  int rc = 0;
  if (CurrentLockMode() != 0 && CurrentLockMode() != 5 && IsShared(fcb))
    rc = LockRecordEntry(file, kLockWrite, position, kLockForSession);
  if (rc == 0)
    rc = var ? WriteVarRecordAt(fcb, position, data.data(), static_cast<uint32_t>(length))
             : WriteDataRecordAt(file, position, data.data());
  if (rc != 0) {
    GiveBack(fcb, file, position);
    LockRecord(file, kLockUnlock, position);
    return Fail(rc, file);
  }
  IsamTables* t = CurrentIsamTables();
  int failed_key = file;
  if (int failure = AddRecordKeys(row, data, position, &failed_key)) {
    GiveBack(fcb, file, position);
    LockRecord(file, kLockUnlock, position);
    return Fail(failure, failed_key);
  }
  KeepCurrentAsSaved(row);
  MakeCurrent(file, row, position, data, -1);
  t->key_in_progress = -1;
  if (t->operation_flags & 0x01) LockRecord(file, kLockUnlock, position);
  return Fail(0, file);
}

int IsamRecordRewrite(int file, const void* record, int32_t length) {
  IoStepScope step;
  FileControlBlock* fcb = nullptr;
  IsamFileRow* row = DataRow(file, &fcb);
  if (row == nullptr) return CurrentInstance()->isam_error;
  if (record == nullptr) return Fail(33, file);
  const uint32_t current = row->current;
  if (current == 0) return Fail(100, file);
  if (int rc = CheckUpdate(file, fcb)) return Fail(rc, file);
  const bool var = IsVariable(fcb);
  if (var && length < 0) return Fail(634, file);
  if (var && length < fcb->header.record_length) return Fail(149, file);
  if (!var) length = fcb->header.record_length;
  if (RecordLocksRequired(file) && CheckRecordLocked(file, kLockWrite, current) != 0) return Fail(57, file);
  if (int rc = SettleDeferred(file, row, fcb)) return Fail(rc, file);
  const auto* data = static_cast<const uint8_t*>(record);
  RewriteTarget target;
  target.current = target.position = row->current;
  if (var) {
    VarRecordHeader h;
    if (int rc = ReadVarRecordHeader(fcb, target.current, &h)) return Fail(rc, file);
    if (h.mark != kMarkActive || h.used == 0) return Fail(160, file);
    // A record is never written over: a crash half-way through would leave
    // neither its old bytes nor its new ones. The new form goes into a
    // stretch of its own, the keys move to it, and only then is the old
    // one let go, so a crash leaves one whole form or both (the next open
    // keeps the one the UID index names).
    target.position = AllocVarSpace(fcb, static_cast<uint32_t>(length), kAllocBestFit, true);
    if (target.position == 0) return Fail(CurrentInstance()->eng_err ? CurrentInstance()->eng_err : 44, file);
    target.moved = true;
    if (IsShared(fcb) && CurrentLockMode() != 0 && CurrentLockMode() != 5) {
      if (int rc = LockRecordEntry(file, kLockWrite, target.position, kLockForSession)) {
        GiveBack(fcb, file, target.position);
        return Fail(rc, file);
      }
    }
  }
  // An in-place rewrite keeps the old image, to put it back when a key
  // cannot be switched.
  if (!target.moved) {
    if (int rc = ReadWholeRecord(fcb, target.current, &target.old_image)) return Fail(rc, file);
  }
  // The record is written before any key names its new form, so a reader
  // never follows a key to a stretch that does not hold the record yet; a
  // moved record's old stretch stays whole until the keys have left it.
  int rc = var ? WriteVarRecordAt(fcb, target.position, data, static_cast<uint32_t>(length), !target.moved)
               : WriteDataRecordAt(file, target.position, data);
  if (rc != 0) {
    // A write in place that failed part way (data in, header not) would
    // leave the keys naming a record that is neither old nor new.
    UndoRecordWrite(fcb, file, target);
    return Fail(rc, file);
  }
  // A batch flushes once for all its new forms, at its end, and only then
  // moves their keys.
  if (target.moved && DefersRewrites(file)) {
    std::vector<uint8_t> copy(data, data + length);
    DeferRewrite(file, {target.current, target.position, copy, CurrentKeys(row)});
    KeepCurrentAsSaved(row);
    MakeCurrent(file, row, target.position, copy, -1);
    return Fail(0, file);
  }
  // A power cut may lose any page written since the last flush, whatever
  // the order of the writes: were the new form's page lost after the keys
  // had left the old form (and its stretch was let go), neither form would
  // remain. So the new form is on the disk before any key names it.
  if (target.moved && !(HolderOf(fcb)->header.open_mode & kModeTransaction2)) {
    if (int flushed = OsFlushFile(&HolderOf(fcb)->os)) {
      UndoRecordWrite(fcb, file, target);
      return Fail(flushed, file);
    }
  }
  int failed_key = file;
  rc = RewriteRecordKeys(row, target, data, static_cast<uint32_t>(length), CurrentKeys(row), &failed_key);
  if (rc != 0) {
    UndoRecordWrite(fcb, file, target);
    return Fail(rc, failed_key);
  }
  if (target.moved) {
    if (var) ReleaseMovedStretch(fcb, file, target.current);
  } else if (var) {
    TrimVarRecordStretch(fcb, target.position);  // the rest is only free space once the keys agree
  }
  std::vector<uint8_t> copy(data, data + length);
  KeepCurrentAsSaved(row);
  MakeCurrent(file, row, target.position, copy, -1);
  if (CurrentIsamTables()->operation_flags & 0x02) LockRecord(file, kLockUnlock, target.position);
  return Fail(0, file);
}

int IsamRecordDelete(int file) {
  IoStepScope step;
  FileControlBlock* fcb = nullptr;
  IsamFileRow* row = DataRow(file, &fcb);
  if (row == nullptr) return CurrentInstance()->isam_error;
  if (row->current == 0) return Fail(100, file);
  if (int rc = CheckUpdate(file, fcb)) return Fail(rc, file);
  if (RecordLocksRequired(file) && CheckRecordLocked(file, kLockWrite, row->current) != 0) return Fail(57, file);
  if (int rc = SettleDeferred(file, row, fcb)) return Fail(rc, file);
  const uint32_t current = row->current;
  IsamTables* t = CurrentIsamTables();
  std::vector<KeyChange> changes;
  int failed_key = file;
  if (int failure = DeleteRecordKeys(row, current, &changes, &failed_key)) return Fail(failure, failed_key);
  // A fixed record is released under its lock (ReleaseDataRecord asks for
  // it); a variable one is unlocked first, since freed space may be claimed
  // and locked by another process at once.
  const bool var = IsVariable(fcb);
  if (var) LockRecord(file, kLockUnlock, current);
  const int rc = var ? FreeVarSpace(fcb, current, true) : ReleaseDataRecord(file, current);
  if (rc != 0) {
    // The free may fail after the stretch went free (only the record count
    // did not go out): its keys must not come back to name free space.
    VarRecordHeader h;
    const bool still_record = !var || (ReadVarRecordHeader(fcb, current, &h) == 0 && h.mark == kMarkActive);
    if (still_record) {
      UndoKeyChanges(changes);
    } else {
      row->current = 0;
      for (int16_t k : row->keys) t->Key(k).current_key.clear();
    }
    return Fail(rc, file);
  }
  if (!var) LockRecord(file, kLockUnlock, current);
  row->current = 0;
  for (int16_t k : row->keys) t->Key(k).current_key.clear();
  return Fail(0, file);
}

namespace isam_record {

int FinishDeferredRewrite(int file, const DeferredRewrite& rewrite) {
  FileControlBlock* fcb = nullptr;
  IsamFileRow* row = DataRow(file, &fcb);
  if (row == nullptr) return CurrentInstance()->isam_error;
  RewriteTarget target;
  target.current = rewrite.old_position;
  target.position = rewrite.new_position;
  target.moved = true;
  int failed_key = file;
  const int rc = RewriteRecordKeys(row, target, rewrite.data.data(), static_cast<uint32_t>(rewrite.data.size()),
                                   rewrite.old_keys, &failed_key);
  if (rc != 0) {
    DropDeferredRewrite(file, rewrite);
    return rc;
  }
  ReleaseMovedStretch(fcb, file, target.current);
  if (CurrentIsamTables()->operation_flags & 0x02) LockRecord(file, kLockUnlock, target.position);
  return 0;
}

void DropDeferredRewrite(int file, const DeferredRewrite& rewrite) {
  FileControlBlock* fcb = nullptr;
  IsamFileRow* row = DataRow(file, &fcb);
  if (row == nullptr) return;
  RewriteTarget target;
  target.current = rewrite.old_position;
  target.position = rewrite.new_position;
  target.moved = true;
  UndoRecordWrite(fcb, file, target);
  // The form made current is gone; the old one has no current keys here.
  if (row->current == rewrite.new_position) {
    row->current = 0;
    for (int16_t k : row->keys) CurrentIsamTables()->Key(k).current_key.clear();
  }
}

}  // namespace isam_record

int IsamAddRecord(int file, const void* record) { return IsamRecordAdd(file, record, 0); }
int IsamRewriteRecord(int file, const void* record) { return IsamRecordRewrite(file, record, 0); }
int IsamDeleteFixedRecord(int file) { return IsamRecordDelete(file); }
int IsamDeleteVarRecord(int file) { return IsamRecordDelete(file); }

}  // namespace isam
