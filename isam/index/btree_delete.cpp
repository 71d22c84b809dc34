#include <cstring>
#include <vector>

#include "isam/index/btree_bytes.h"
#include "isam/index/btree_descent.h"
#include "isam/index/btree_update.h"
#include "isam/index/file_control_block.h"
#include "isam/index/node_cache.h"
#include "isam/runtime/engine_instance.h"

namespace isam {
namespace {

int LowerKeyCount(FileControlBlock* fcb) {
  if (int rc = LockFileHeader(fcb)) return rc;
  if (fcb->header.active_count > 0) --fcb->header.active_count;
  const int rc = WriteFileHeader(fcb);
  UnlockFileHeader(fcb);
  return rc;
}

}  // namespace

// A deleted key leaves its leaf in place, however empty: nodes are never
// merged, so no other process can be in a node that disappears.
int delkey(int file, const uint8_t* key, uint32_t position, int mode) {
  if (mode == 2) return SetEngineError(116);  // a caller's bug: refused, not fatal
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if ((mode & kAddMustBeIndex) && fcb->header.file_type != kFileTypeIndex) return SetEngineError(48);
  if (fcb->header.file_type != kFileTypeIndex) return SetEngineError(48);
  if (!(mode & kAddSkipUpdateCheck)) {
    if (int rc = UpdateAllowed(fcb)) return SetEngineError(rc);
  }
  const NodeLayout& l = fcb->layout;
  std::vector<uint8_t> target(l.key_length);
  MakeStoredKey(l, key, position, target.data());
  for (int restart = 0; restart <= kMaxRestarts; ++restart) {
    int rc = 0;
    bool unchecked = false;
    const uint32_t root = DescentRoot(fcb, restart, &unchecked, &rc);
    if (rc != 0) return SetEngineError(rc);
    if (root == 0) return SetEngineError(4);
    Node leaf;
    bool locked = false;
    rc = DescendToLeaf(fcb, root, target.data(), nullptr, &leaf, &locked, unchecked);
    if (rc == kDescentRestart) continue;
    if (rc != 0) {
      if (rc == kErrFileDamaged) LogNoLeaf("delkey", fcb);
      return SetEngineError(rc);
    }
    if (!locked) {
      if ((rc = LockIndexNode(fcb, leaf.position)) != 0) return rc;
      rc = FetchNode(fcb, leaf.position, &leaf);
    }
    if (rc == 0) rc = MoveRightToCover(fcb, target.data(), &leaf, true);
    if (rc == kDescentRestart) {
      UnlockIndexNode(fcb, leaf.position);
      continue;
    }
    if (rc == 0) {
      bool equal = false;
      const int i = LowerBound(l, leaf, target.data(), &equal);
      if (!equal) rc = 4;
      else if (leaf.pointers[static_cast<std::size_t>(i)] != position) rc = 3;
      else {
        DeleteKeyFromNode(l, &leaf, i);
        rc = StoreNode(fcb, &leaf);
      }
    }
    UnlockIndexNode(fcb, leaf.position);
    if (rc == 0 && !(mode & kKeyCountKept)) {
      rc = LowerKeyCount(fcb);
      // The count stayed as it was: the key goes back in.
      if (rc != 0) {
        const int back = kKeyCountKept | kAddSkipUpdateCheck |
                         (fcb->header.file_class == kClassMemberDirectory ? kAddMemberDirectory : 0);
        addkey(file, key, position, back);
      }
    }
    return SetEngineError(rc);
  }
  LogRestartsExhausted("delkey", fcb);
  return SetEngineError(kErrFileDamaged);
}

int DeleteKeyEntry(int file, const uint8_t* key, uint32_t position) {
  return delkey(file, key, position, kAddMustBeIndex | 0x01);
}

int DeleteKey(int file, const uint8_t* key, uint32_t position) { return delkey(file, key, position, 0); }

}  // namespace isam
