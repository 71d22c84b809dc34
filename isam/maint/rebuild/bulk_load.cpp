// The bottom-up index load.
#include "isam/maint/rebuild/bulk_load.h"

#include <cstring>
#include <memory>
#include <vector>

#include "isam/index/btree_descent.h"
#include "isam/index/btree_node.h"
#include "isam/index/btree_update.h"
#include "isam/index/file_control_block.h"
#include "isam/index/key_compare.h"
#include "isam/index/node_cache.h"
#include "isam/index/key_search.h"
#include "isam/runtime/byte_range_locks.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/os_file_layer.h"

namespace isam::maint {
namespace {

struct Load {
  EngineInstance* inst = nullptr;
  int key = -1;
  bool append = false;           // the index had keys: ordinary inserts
  uint32_t added = 0;
  std::vector<uint8_t> last;     // the previous key
  // Open node per level, 0 the leaves; levels[depth] exists only once a
  // node of the level below was full.
  std::vector<Node> levels;
};

thread_local std::unique_ptr<Load> g_load;

int Fail(int code) {
  g_load.reset();
  return SetEngineError(code);
}

// A fresh node for a level (the file grows by one node).
int Open(FileControlBlock* fcb, std::size_t level, Node* node) {
  const uint32_t at = NewIndexNode(fcb, level == 0, node);
  if (at == 0) return CurrentInstance()->eng_err != 0 ? CurrentInstance()->eng_err : kErrFileDamaged;
  UnlockIndexNode(fcb, at);
  return 0;
}

// Appends (key, pointer) at `level`; a full node is written, its successor
// opened and its last key carried one level up.
int Append(FileControlBlock* fcb, Load& load, std::size_t level, const uint8_t* key, uint32_t pointer) {
  const NodeLayout& l = fcb->layout;
  if (level > static_cast<std::size_t>(kMaxTreeDepth)) return kErrTreeTooDeep;
  if (level == load.levels.size()) {
    load.levels.emplace_back();
    if (const int rc = Open(fcb, level, &load.levels.back())) return rc;
  }
  Node* node = &load.levels[level];
  InsertKeyInNode(l, node, node->Count(), key, pointer);
  if (NodeFits(l, *node)) return 0;
  DeleteKeyFromNode(l, node, node->Count() - 1);
  Node next;
  if (const int rc = Open(fcb, level, &next)) return rc;
  node = &load.levels[level];
  std::vector<uint8_t> separator(node->Key(node->Count() - 1, l), node->Key(node->Count() - 1, l) + l.key_length);
  node->header.rightlink = next.position;
  if (node->IsLeaf()) {
    node->high_key = separator;
    next.header.leftlink = node->position;
  }
  if (const int rc = StoreNode(fcb, node)) return rc;
  const uint32_t full = node->position;
  load.levels[level] = std::move(next);
  if (const int rc = Append(fcb, load, level + 1, separator.data(), full)) return rc;
  node = &load.levels[level];
  InsertKeyInNode(l, node, 0, key, pointer);
  return NodeFits(l, *node) ? 0 : kErrFileDamaged;
}

int Finish(FileControlBlock* fcb, Load& load) {
  const NodeLayout& l = fcb->layout;
  uint32_t root = 0;
  const std::vector<uint8_t> top(l.key_length, 0xFF);
  for (std::size_t level = 0; level < load.levels.size(); ++level) {
    Node* node = &load.levels[level];
    if (const int rc = StoreNode(fcb, node)) return rc;
    const uint32_t at = node->position;
    if (level + 1 == load.levels.size()) {
      root = at;
      break;
    }
    if (const int rc = Append(fcb, load, level + 1, top.data(), at)) return rc;
  }
  fcb->header.root = root;
  fcb->header.active_count = load.added;
  return WriteFileHeader(fcb);
}

}  // namespace

void IndexBulkAbandon() { g_load.reset(); }

int IndexBulkAddKey(int key, const uint8_t* image, uint32_t position, int mode) {
  EngineInstance* inst = CurrentInstance();
  if (g_load && g_load->inst != inst) g_load.reset();  // left behind by a stopped engine
  FileControlBlock* fcb = FileControlOf(key);
  if (fcb == nullptr) return inst != nullptr ? inst->eng_err : 26;
  if (fcb->header.file_type != kFileTypeIndex) return SetEngineError(48);
  if (mode < kBulkStart || mode > kBulkFinish) return SetEngineError(116);
  if (mode == kBulkStart) {
    if (g_load) return SetEngineError(58);
    if (fcb->header.open_mode & (kModeShared | kModeReadOnly)) return SetEngineError(62);
    g_load = std::make_unique<Load>();
    g_load->inst = inst;
    g_load->key = key;
    if (fcb->header.root != 0) {
      g_load->append = true;
      std::vector<uint8_t> last(fcb->layout.key_length + 4u, 0);
      if (lstkey(key, last.data()) != 0) g_load->last.assign(last.begin(), last.begin() + fcb->layout.key_length);
    }
  } else if (!g_load || g_load->key != key) {
    return SetEngineError(58);
  }
  Load& load = *g_load;
  const NodeLayout& l = fcb->layout;
  if (mode == kBulkFinish) {
    const int rc = load.append ? 0 : Finish(fcb, load);
    g_load.reset();
    return SetEngineError(rc);
  }
  if (position == 0) return Fail(28);
  std::vector<uint8_t> stored(l.key_length);
  MakeStoredKey(l, image, position, stored.data());
  if (!load.last.empty() && KeyCompare(stored.data(), load.last.data(), l.key_length) <= 0) {
    return SetEngineError(59);  // the load goes on without it
  }
  const int rc = load.append ? addkey(key, stored.data(), position, 0) : Append(fcb, load, 0, stored.data(), position);
  if (rc != 0) return Fail(rc);
  load.last = stored;
  ++load.added;
  return SetEngineError(0);
}

}  // namespace isam::maint
