#include <cstdio>
#include <cstring>

#include "isam/index/btree_bytes.h"
#include "isam/index/btree_descent.h"
#include "isam/index/btree_update.h"
#include "isam/index/file_control_block.h"
#include "isam/index/key_compare.h"
#include "isam/index/node_cache.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/status_log.h"

namespace isam {
namespace {

int CheckIndexForUpdate(FileControlBlock* fcb, int mode) {
  if (fcb->header.file_type != kFileTypeIndex) return 48;
  if (fcb->header.file_class == kClassMemberDirectory && !(mode & kAddMemberDirectory)) return 415;
  if (!(mode & kAddSkipUpdateCheck)) {
    if (int rc = UpdateAllowed(fcb)) return rc;
  }
  return 0;
}

int ChangeKeyCount(FileControlBlock* fcb, int delta) {
  if (int rc = LockFileHeader(fcb)) return rc;
  fcb->header.active_count = static_cast<uint32_t>(static_cast<int64_t>(fcb->header.active_count) + delta);
  const int rc = WriteFileHeader(fcb);
  UnlockFileHeader(fcb);
  return rc;
}

// Moves k so that both halves of a split fit their node.
int FitSplit(const NodeLayout& l, const Node& node, int k) {
  const bool leaf = node.IsLeaf();
  const int n = node.Count();
  const int cap = l.Capacity(leaf);
  const int limit = l.EntryLimit(leaf);
  auto left_fits = [&](int kk) { return kk <= limit && EncodedEntryBytes(l, node, 0, kk) <= cap; };
  auto right_fits = [&](int kk) { return n - kk <= limit && EncodedEntryBytes(l, node, kk, n - kk) <= cap; };
  if (k < 1) k = 1;
  if (k > n - 1) k = n - 1;
  while (k > 1 && !left_fits(k)) --k;
  while (k < n - 1 && !right_fits(k)) ++k;
  return k;
}

// With leading compression entries vary in size: the split point found by
// count is moved by bytes, so that a left node that would overflow keeps
// little and a small left node takes at least two entries' worth.
int LeadingCompressionSplit(const NodeLayout& l, const Node& node, int k) {
  if (!(l.key_type & kKeyLeadingCompression)) return k;
  const bool leaf = node.IsLeaf();
  const int n = node.Count();
  const int cap = l.Capacity(leaf);
  const int comp = l.CompressionBytes();
  const int e = l.key_length + comp + (l.HasPointer(leaf) ? 4 : 0);
  const auto end_of = [&](int kk) { return EncodedEntryBytes(l, node, 0, kk); };
  int target = -1;
  if (end_of(k) > cap) {
    k = 1;
    target = cap - e;
  } else if (k < n - 1) {
    target = 2 * e - comp - 4;
    if (end_of(k) < target) ++k;
    else target = -1;
  }
  if (target >= 0) {
    while (end_of(k) < target && end_of(k) <= cap && k + 1 < n) ++k;
    if (end_of(k) > cap && k > 1) --k;
  }
  return k;
}

// Finds the inner node one level above `child` whose entries cover
// `separator`, starting at the current root (after the root changed under a
// split). 0 when none.
uint32_t FindParent(FileControlBlock* fcb, uint32_t child, const uint8_t* separator, int* rc) {
  const NodeLayout& l = fcb->layout;
  uint32_t position = CurrentRoot(fcb, rc);
  if (*rc != 0) return 0;
  Node node;
  uint32_t bound = WalkBound(fcb);
  for (uint32_t steps = 0; position != 0 && WalkAllowed(fcb, steps, &bound); ++steps) {
    if ((*rc = FetchNode(fcb, position, &node)) != 0) return 0;
    if (node.IsLeaf()) return 0;
    bool equal = false;
    const int i = LowerBound(l, node, separator, &equal);
    if (i == node.Count()) {
      position = node.header.rightlink;
      continue;
    }
    for (int e = i; e < node.Count(); ++e)
      if (node.pointers[static_cast<std::size_t>(e)] == child) return position;
    position = node.pointers[static_cast<std::size_t>(i)];
  }
  return 0;
}

// Inserts (key, pointer) at index i of `node`, which the caller has locked,
// splitting upward as needed. `path` holds the inner nodes of the descent;
// `depth_at_descent` the number of inner levels then. Releases every lock.
// `node` is the working node of every level (the caller's copy of the leaf,
// changed in place rather than copied once more): its content afterwards is
// of no use to the caller.
int SplitIndexNode(FileControlBlock* fcb, DescentPath* path, Node* node, int i, const uint8_t* key,
                   uint32_t pointer, int split_mode, int depth_at_descent) {
  const NodeLayout& l = fcb->layout;
  std::vector<uint8_t> sep(l.key_length);
  uint32_t insert_pointer = pointer;
  std::vector<uint8_t> insert_key(key, key + l.key_length);
  Node& cur = *node;
  int at = i;
  uint32_t redirect_from = 0, redirect_to = 0;  // child pointer to move to the new right node
  // Each round moves one level up; a damaged tree could otherwise send the
  // parent search round in a circle, splitting as it goes.
  for (int round = 0;; ++round) {
    if (round > 2 * kMaxTreeDepth + 2) {
      UnlockIndexNode(fcb, cur.position);
      return kErrFileDamaged;
    }
    if (redirect_from != 0) cur.pointers[static_cast<std::size_t>(at)] = redirect_to;
    InsertKeyInNode(l, &cur, at, insert_key.data(), insert_pointer);
    if (NodeFits(l, cur)) return PutIndexNode(fcb, &cur, true);
    const int n = cur.Count();
    if (n < 2) {  // one entry that does not fit: the header's geometry lied
      UnlockIndexNode(fcb, cur.position);
      return kErrFileDamaged;
    }
    const int k = FitSplit(l, cur, LeadingCompressionSplit(l, cur, SplitKeepLeft(n, split_mode)));
    Node right;
    const uint32_t right_pos = NewIndexNode(fcb, cur.IsLeaf(), &right);
    if (right_pos == 0) {
      UnlockIndexNode(fcb, cur.position);
      return CurrentInstance()->eng_err ? CurrentInstance()->eng_err : kErrFileDamaged;
    }
    right.keys.assign(cur.keys.begin() + static_cast<std::ptrdiff_t>(k) * l.key_length, cur.keys.end());
    right.pointers.assign(cur.pointers.begin() + k, cur.pointers.end());
    cur.keys.resize(static_cast<std::size_t>(k) * l.key_length);
    cur.pointers.resize(static_cast<std::size_t>(k));
    std::memcpy(sep.data(), cur.Key(k - 1, l), l.key_length);
    if (cur.IsLeaf()) {
      right.high_key = cur.high_key;
      cur.high_key = sep;
      right.header.leftlink = cur.position;
    }
    right.header.rightlink = cur.header.rightlink;
    cur.header.rightlink = right_pos;
    int rc = StoreNode(fcb, &right);
    if (rc == 0) rc = StoreNode(fcb, &cur);
    if (rc == 0 && cur.IsLeaf() && right.header.rightlink != 0) {
      Node next;
      rc = LockIndexNode(fcb, right.header.rightlink);
      if (rc == 0) {
        rc = FetchNode(fcb, right.header.rightlink, &next);
        if (rc == 0) {
          next.header.leftlink = right_pos;
          rc = PutIndexNode(fcb, &next, true);
        } else {
          UnlockIndexNode(fcb, right.header.rightlink);
        }
      }
    }
    UnlockIndexNode(fcb, right_pos);
    if (rc != 0) {
      UnlockIndexNode(fcb, cur.position);
      return rc;
    }

    // Publish the new right node in the parent.
    uint32_t parent_pos = 0;
    if (path->depth > 0) {
      parent_pos = path->nodes[--path->depth];
    } else {
      if ((rc = LockFileHeader(fcb)) != 0) {
        UnlockIndexNode(fcb, cur.position);
        return rc;
      }
      if (fcb->header.root == cur.position) {
        // A tree already as deep as a descent may go gains no level: the new
        // node stays reachable through the right link of the old root.
        if (depth_at_descent + 1 <= kMaxTreeDepth) {
          Node root;
          const uint32_t root_pos = NewIndexNode(fcb, false, &root);
          rc = root_pos == 0 ? CurrentInstance()->eng_err : 0;
          if (rc == 0) {
            std::vector<uint8_t> top(l.key_length, 0xFF);
            InsertKeyInNode(l, &root, 0, sep.data(), cur.position);
            InsertKeyInNode(l, &root, 1, top.data(), right_pos);
            rc = PutIndexNode(fcb, &root, true);
          }
          if (rc == 0) {
            fcb->header.root = root_pos;
            rc = WriteFileHeader(fcb);
          }
        }
        UnlockFileHeader(fcb);
        UnlockIndexNode(fcb, cur.position);
        return rc;
      }
      UnlockFileHeader(fcb);
      parent_pos = FindParent(fcb, cur.position, sep.data(), &rc);
      if (parent_pos == 0) {
        UnlockIndexNode(fcb, cur.position);
        return rc != 0 ? rc : kErrFileDamaged;
      }
    }
    Node parent;
    if ((rc = LockIndexNode(fcb, parent_pos)) == 0 && (rc = FetchNode(fcb, parent_pos, &parent)) != 0)
      UnlockIndexNode(fcb, parent_pos);
    uint32_t bound = WalkBound(fcb);
    int pi = 0;
    for (uint32_t steps = 0; rc == 0; ++steps) {
      if (parent.IsLeaf() || !WalkAllowed(fcb, steps, &bound)) {
        rc = kErrFileDamaged;
        UnlockIndexNode(fcb, parent.position);
        break;
      }
      bool equal = false;
      pi = LowerBound(l, parent, sep.data(), &equal);
      if (pi < parent.Count()) break;
      const uint32_t next = parent.header.rightlink;
      if (next == 0) {
        rc = kErrFileDamaged;
        UnlockIndexNode(fcb, parent.position);
        break;
      }
      if ((rc = LockIndexNode(fcb, next)) != 0) {
        UnlockIndexNode(fcb, parent.position);
        break;
      }
      UnlockIndexNode(fcb, parent.position);
      if ((rc = FetchNode(fcb, next, &parent)) != 0) UnlockIndexNode(fcb, next);
    }
    if (rc != 0) {
      UnlockIndexNode(fcb, cur.position);
      return rc;
    }
    // The entry covering the separator leads to the old node, unless the old
    // node is itself a right half another split has not published yet: the
    // entry then leads to a node left of it, whose right links reach it.
    const uint32_t covering = parent.pointers[static_cast<std::size_t>(pi)];
    if (covering != cur.position) {
      char text[96];
      std::snprintf(text, sizeof text, "U%lxx E%d D%lxx", static_cast<unsigned long>(parent.position), pi + 1,
                    static_cast<unsigned long>(cur.position));
      WriteStatusLog("Parent-Child branch error", 0);
      WriteStatusLog(fcb->name, 0);
      WriteStatusLog(text, 0);
    }
    UnlockIndexNode(fcb, cur.position);
    // The covering entry now leads to the new right node, and (separator ->
    // the node it led to) goes in front of it. When that node is the old
    // node this is the ordinary split; when it lies further left, searches
    // for keys up to the separator still reach the old node by moving right,
    // and the pending split, arriving here later, finds its own node in
    // front of the separator and completes the picture.
    redirect_from = cur.position;
    redirect_to = right_pos;
    insert_key = sep;
    insert_pointer = covering;
    cur = parent;
    at = pi;
  }
}

}  // namespace

int SplitKeepLeft(int n, int mode) {
  if (mode == 0) return (n + 1) / 2;
  if (mode == 1) return n * 6 / 7;
  return n / 7 + 1;
}

int addkey(int file, const uint8_t* key, uint32_t position, int mode) {
  FileControlBlock* fcb = CheckFileNumber(file);
  if (fcb == nullptr) return CurrentInstance()->eng_err;
  if ((mode & kAddMustBeIndex) && fcb->header.file_type != kFileTypeIndex) return SetEngineError(48);
  if (int rc = CheckIndexForUpdate(fcb, mode)) return SetEngineError(rc);
  if (position == 0) return SetEngineError(28);
  const NodeLayout& l = fcb->layout;
  std::vector<uint8_t> target(l.key_length);
  MakeStoredKey(l, key, position, target.data());
  const int split_mode = mode & kAddSplitMask & ~kAddMemberDirectory;
  for (int restart = 0; restart <= kMaxRestarts; ++restart) {
    int rc = 0;
    bool unchecked = false;
    const uint32_t root = DescentRoot(fcb, restart, &unchecked, &rc);
    if (rc != 0) return SetEngineError(rc);
    if (root == 0) {
      if ((rc = LockFileHeader(fcb)) != 0) return rc;
      if (fcb->header.root != 0) {  // another opener made the root meanwhile
        UnlockFileHeader(fcb);
        continue;
      }
      Node leaf;
      const uint32_t at = NewIndexNode(fcb, true, &leaf);
      if (at == 0) {
        rc = CurrentInstance()->eng_err;
        UnlockFileHeader(fcb);
        return SetEngineError(rc ? rc : kErrFileDamaged);
      }
      InsertKeyInNode(l, &leaf, 0, target.data(), position);
      rc = PutIndexNode(fcb, &leaf, true);
      if (rc == 0) {
        fcb->header.root = at;
        if (!(mode & kKeyCountKept)) ++fcb->header.active_count;
        rc = WriteFileHeader(fcb);  // a failed write leaves root and count as the disk has them
      }
      UnlockFileHeader(fcb);
      return SetEngineError(rc);
    }
    DescentPath path;
    ReusedNode reused;
    Node& leaf = *reused;
    bool locked = false;
    rc = DescendToLeaf(fcb, root, target.data(), &path, &leaf, &locked, unchecked);
    if (rc == kDescentRestart) continue;
    if (rc != 0) {
      if (rc == kErrFileDamaged) LogNoLeaf("addkey", fcb);
      return SetEngineError(rc);
    }
    const int depth = path.depth;
    if (!locked) {
      if ((rc = LockIndexNode(fcb, leaf.position)) != 0) return rc;
      rc = FetchNode(fcb, leaf.position, &leaf);
    }
    if (rc == 0) rc = MoveRightToCover(fcb, target.data(), &leaf, true);
    if (rc == kDescentRestart) {
      UnlockIndexNode(fcb, leaf.position);
      continue;
    }
    if (rc != 0) {
      UnlockIndexNode(fcb, leaf.position);
      return SetEngineError(rc);
    }
    bool equal = false;
    const int i = LowerBound(l, leaf, target.data(), &equal);
    if (equal) {
      if (!(mode & kAddReplacePosition) || l.duplicates) {
        UnlockIndexNode(fcb, leaf.position);
        return SetEngineError(2);
      }
      leaf.pointers[static_cast<std::size_t>(i)] = position;
      return SetEngineError(PutIndexNode(fcb, &leaf, true));
    }
    rc = SplitIndexNode(fcb, &path, &leaf, i, target.data(), position, split_mode, depth);
    if (rc == 0 && !(mode & kKeyCountKept)) rc = ChangeKeyCount(fcb, +1);
    // A split that failed part way may already hold the key, and a count
    // that could not be written stayed as it was: the key goes out again,
    // so the tree and its count agree and the caller sees an add that did
    // not happen.
    if (rc != 0) {
      const int undo = kKeyCountKept | kAddSkipUpdateCheck |
                       (fcb->header.file_class == kClassMemberDirectory ? kAddMemberDirectory : 0);
      delkey(file, key, position, undo);
    }
    return SetEngineError(rc);
  }
  // Restart marks that never clear: the file is damaged (or held in a
  // rebuild that left it so).
  LogRestartsExhausted("addkey", fcb);
  return SetEngineError(kErrFileDamaged);
}

int AddKeyEntry(int file, const uint8_t* key, uint32_t position, int mode) {
  return addkey(file, key, position, mode | kAddMustBeIndex);
}

}  // namespace isam
