#include "isam/isam_record.h"

#include <cstring>
#include <vector>

#include "isam/btree_bytes.h"
#include "isam/btree_update.h"
#include "isam/engine_instance.h"
#include "isam/file_control_block.h"
#include "isam/fixed_record.h"
#include "isam/free_space.h"
#include "isam/free_space_index.h"
#include "isam/isam_record_internal.h"
#include "isam/isam_record_keys.h"
#include "isam/record_lock.h"
#include "isam/varlen_record.h"

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

// addkey and delkey may fail after the tree itself changed (the key went in
// or out, but the index header's key count could not be written). Before a
// failure is unwound, the tree is put back to what the unwinding assumes:
// the key is taken out again (or put back); a key already so stays. 2
// (another record has this key) and 3/4 (no such key with this position)
// changed nothing.
void KeyNotAdded(int failure, int k, const uint8_t* key, uint32_t position) {
  if (failure != 2) delkey(k, key, position, 0);
}
void KeyNotRemoved(int failure, int k, const uint8_t* key, uint32_t position) {
  if (failure != 3 && failure != 4) addkey(k, key, position, 0);
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

int CheckUpdate(int file, FileControlBlock* fcb) {
  if (int rc = UpdateAllowed(fcb)) return rc;
  (void)file;
  return 0;
}

}  // namespace

int IsamRecordAdd(int file, const void* record, int32_t length) {
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
  std::vector<KeyChange> changes;
  uint8_t key[256];
  for (int16_t k : row->keys) {
    const int n = BuildRecordKey(k, data.data(), data.size(), position, key);
    int failure = n < 0 ? -n : 0;
    if (n > 0) failure = addkey(k, key, position, 0);
    if (failure != 0) {
      if (n > 0) KeyNotAdded(failure, k, key, position);
      UndoKeyChanges(changes);
      GiveBack(fcb, file, position);
      LockRecord(file, kLockUnlock, position);
      return Fail(failure, k);
    }
    if (n > 0) {
      KeyChange c;
      c.key = k;
      c.added.assign(key, key + n);
      c.added_position = position;
      changes.push_back(std::move(c));
    }
  }
  MakeCurrent(file, row, position, data, -1);
  t->key_in_progress = -1;
  if (t->operation_flags & 0x01) LockRecord(file, kLockUnlock, position);
  return Fail(0, file);
}

int IsamRecordRewrite(int file, const void* record, int32_t length) {
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
  const auto* data = static_cast<const uint8_t*>(record);
  uint32_t position = current;
  bool moved = false;
  if (var) {
    VarRecordHeader h;
    if (int rc = ReadVarRecordHeader(fcb, current, &h)) return Fail(rc, file);
    if (h.mark != kMarkActive || h.used == 0) return Fail(160, file);
    const uint32_t hlen = VarHeaderLength(fcb);
    const uint64_t needed = static_cast<uint64_t>(length) + hlen;
    if (h.total < needed) {
      // Grow into free space directly behind, else move.
      bool grown = false;
      if (LockFileHeader(fcb) == 0) {
        VarRecordHeader next;
        const uint64_t behind = static_cast<uint64_t>(current) + h.total;
        if (behind <= fcb->header.logical_end &&
            ReadVarRecordHeader(fcb, static_cast<uint32_t>(behind), &next) == 0 && next.mark == kMarkFree &&
            static_cast<uint64_t>(h.total) + next.total >= needed) {
          uint8_t key[kSpaceKeyLength];
          BuildSpaceKey(fcb, key, next.total, static_cast<uint32_t>(behind));
          if (SpaceIndexRemove(fcb, key) == 0) {
            h.total += next.total;
            grown = WriteVarRecordHeader(fcb, current, h) == 0;
            if (!grown) {
              UnlockFileHeader(fcb);
              return Fail(146, file);
            }
          }
        }
        UnlockFileHeader(fcb);
      }
      if (!grown) {
        position = AllocVarSpace(fcb, static_cast<uint32_t>(length), kAllocBestFit, true);
        if (position == 0) return Fail(CurrentInstance()->eng_err ? CurrentInstance()->eng_err : 44, file);
        moved = true;
        if (IsShared(fcb) && CurrentLockMode() != 0 && CurrentLockMode() != 5) {
          if (int rc = LockRecordEntry(file, kLockWrite, position, kLockForSession)) {
            GiveBack(fcb, file, position);
            return Fail(rc, file);
          }
        }
      }
    }
  }
  // An in-place rewrite keeps the old image, to put it back when a key
  // cannot be switched.
  std::vector<uint8_t> old_image;
  if (!moved) {
    if (int rc = ReadWholeRecord(fcb, current, &old_image)) return Fail(rc, file);
  }
  // The record is written before any key names its new form, so a reader
  // never follows a key to a stretch that does not hold the record yet; a
  // moved record's old stretch stays whole until the keys have left it.
  int rc = var ? WriteVarRecordAt(fcb, position, data, static_cast<uint32_t>(length), !moved)
               : WriteDataRecordAt(file, position, data);
  if (rc != 0) {
    // A write in place that failed part way (data in, header not) would
    // leave the keys naming a record that is neither old nor new.
    if (moved) {
      GiveBack(fcb, file, position);
      LockRecord(file, kLockUnlock, position);
    } else if (var) {
      WriteVarRecordAt(fcb, current, old_image.data(), static_cast<uint32_t>(old_image.size()), true);
    } else {
      WriteDataRecordAt(file, current, old_image.data());
    }
    return Fail(rc, file);
  }
  IsamTables* t = CurrentIsamTables();
  std::vector<KeyChange> changes;
  uint8_t key[256];
  for (int16_t k : row->keys) {
    const int n = BuildRecordKey(k, data, static_cast<std::size_t>(length), position, key);
    IsamKeyRow& kr = t->Key(k);
    const std::vector<uint8_t> old = kr.current_key;
    int failure = n < 0 ? -n : 0;
    KeyChange c;
    c.key = k;
    if (failure == 0) {
      const bool same_value = n > 0 && static_cast<int>(old.size()) == n &&
                              std::memcmp(old.data(), key, static_cast<std::size_t>(kr.def.duplicates ? n - 4 : n)) == 0;
      if (same_value && !moved) {
        continue;
      } else if (same_value && !kr.def.duplicates) {
        failure = addkey(k, key, position, kAddReplacePosition);
        c.replaced = true;
        c.removed = old;
        c.removed_position = current;
      } else {
        if (n > 0) {
          failure = addkey(k, key, position, 0);
          if (failure == 0) {
            c.added.assign(key, key + n);
            c.added_position = position;
          } else {
            KeyNotAdded(failure, k, key, position);
          }
        }
        if (failure == 0 && !old.empty()) {
          // A key already gone was taken out as a leftover by a reader (or
          // lost with a writer that died half-way): it counts as removed,
          // so an undo puts it back beside the old image.
          failure = delkey(k, old.data(), current, 0);
          if (failure == 4) failure = 0;
          if (failure == 0) {
            c.removed = old;
            c.removed_position = current;
          } else {
            KeyNotRemoved(failure, k, old.data(), current);
            if (!c.added.empty()) delkey(k, c.added.data(), position, 0);
          }
        }
      }
    }
    if (failure != 0) {
      const int undo = UndoKeyChanges(changes);
      if (moved) {
        GiveBack(fcb, file, position);
        LockRecord(file, kLockUnlock, position);
      } else if (var) {
        WriteVarRecordAt(fcb, current, old_image.data(), static_cast<uint32_t>(old_image.size()), true);
      } else {
        WriteDataRecordAt(file, current, old_image.data());
      }
      return Fail(undo ? undo : failure, k);
    }
    changes.push_back(std::move(c));
  }
  if (moved) {
    // Unlocked before it is freed: once free, another process may claim the
    // stretch at once and must be able to lock it.
    LockRecord(file, kLockUnlock, current);
    if (var) FreeVarSpace(fcb, current, true);
  } else if (var) {
    TrimVarRecordStretch(fcb, position);  // the rest is only free space once the keys agree
  }
  std::vector<uint8_t> copy(data, data + length);
  MakeCurrent(file, row, position, copy, -1);
  if (t->operation_flags & 0x02) LockRecord(file, kLockUnlock, position);
  return Fail(0, file);
}

int IsamRecordDelete(int file) {
  FileControlBlock* fcb = nullptr;
  IsamFileRow* row = DataRow(file, &fcb);
  if (row == nullptr) return CurrentInstance()->isam_error;
  const uint32_t current = row->current;
  if (current == 0) return Fail(100, file);
  if (int rc = CheckUpdate(file, fcb)) return Fail(rc, file);
  if (RecordLocksRequired(file) && CheckRecordLocked(file, kLockWrite, current) != 0) return Fail(57, file);
  IsamTables* t = CurrentIsamTables();
  std::vector<KeyChange> changes;
  for (int16_t k : row->keys) {
    const std::vector<uint8_t>& old = t->Key(k).current_key;
    if (old.empty()) continue;
    const int failure = delkey(k, old.data(), current, 0);
    if (failure == 4) continue;  // already gone: a leftover key a reader took out
    if (failure != 0) {
      KeyNotRemoved(failure, k, old.data(), current);
      UndoKeyChanges(changes);
      return Fail(failure, k);
    }
    KeyChange c;
    c.key = k;
    c.removed = old;
    c.removed_position = current;
    changes.push_back(std::move(c));
  }
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

}  // namespace isam
