#include "isam/index/node_cache.h"

#include <cstdio>
#include <new>
#include <vector>

#include "isam/index/file_control_block.h"
#include "isam/runtime/engine_fatal.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/status_log.h"
#include "isam/runtime/thread_layer.h"

namespace isam {
namespace {

constexpr int kNodeReadTries = 3;

struct NodeCache {
  std::vector<NodeBuffer> buffers;
  std::vector<NodeBuffer*> hash;
  NodeBuffer* oldest = nullptr;  // replacement end
  NodeBuffer* newest = nullptr;
  int shift = 7;
  std::vector<uint8_t> image;
};

NodeCache* CacheOf(EngineInstance* inst) {
  return inst != nullptr ? static_cast<NodeCache*>(inst->node_cache) : nullptr;
}

std::size_t HashOf(const NodeCache& c, int file, uint32_t position) {
  return (static_cast<uint32_t>(file) + (position >> c.shift)) % c.hash.size();
}

void Unlink(NodeCache& c, NodeBuffer* b) {
  (b->lru_older ? b->lru_older->lru_newer : c.oldest) = b->lru_newer;
  (b->lru_newer ? b->lru_newer->lru_older : c.newest) = b->lru_older;
  b->lru_older = b->lru_newer = nullptr;
}

void PushNewest(NodeCache& c, NodeBuffer* b) {
  b->lru_older = c.newest;
  b->lru_newer = nullptr;
  (c.newest ? c.newest->lru_newer : c.oldest) = b;
  c.newest = b;
}

void PushOldest(NodeCache& c, NodeBuffer* b) {
  b->lru_newer = c.oldest;
  b->lru_older = nullptr;
  (c.oldest ? c.oldest->lru_older : c.newest) = b;
  c.oldest = b;
}

void HashRemove(NodeCache& c, NodeBuffer* b) {
  if (b->position == 0 || b->file < 0) return;
  NodeBuffer** p = &c.hash[HashOf(c, b->file, b->position)];
  while (*p != nullptr && *p != b) p = &(*p)->hash_next;
  if (*p == b) *p = b->hash_next;
  b->hash_next = nullptr;
}

void HashInsert(NodeCache& c, NodeBuffer* b) {
  NodeBuffer*& head = c.hash[HashOf(c, b->file, b->position)];
  b->hash_next = head;
  head = b;
}

NodeBuffer* Find(NodeCache& c, int file, uint32_t position) {
  for (NodeBuffer* b = c.hash[HashOf(c, file, position)]; b != nullptr; b = b->hash_next)
    if (b->file == file && b->position == position) return b;
  return nullptr;
}

void Invalidate(NodeCache& c, NodeBuffer* b) {
  HashRemove(c, b);
  b->position = 0;
  b->file = -1;
  b->fcb = nullptr;
  b->state = 'n';
  Unlink(c, b);
  PushOldest(c, b);
}

void LogWithName(const char* text, const FileControlBlock* fcb) {
  WriteStatusLog(text, 0);
  WriteStatusLog(fcb->name, 0);
}

// A node position must lie on the node grid behind the headers and inside
// the file; a shared file may have grown since its header was read.
int CheckNodePosition(FileControlBlock* fcb, uint32_t position) {
  FileControlBlock* holder = HolderOf(fcb);
  const uint32_t size = fcb->header.node_size;
  if (size == 0 || position < size || position % size != 0) return kErrFileDamaged;
  const uint64_t last = static_cast<uint64_t>(position) + size - 1;
  // Not while this process holds the header lock: its image is then the
  // file's, and may carry changes not yet written.
  if (last > holder->header.logical_end && IsShared(fcb) && holder->header_lock_depth == 0) {
    if (int rc = ReadFileHeader(holder)) return rc;
  }
  if (last > holder->header.logical_end) return kErrFileDamaged;
  return 0;
}

// Reads and decodes the node into b: 0 or the code for getnode.
int ReadIntoBuffer(NodeCache& c, NodeBuffer* b, uint32_t position, FileControlBlock* fcb) {
  HashRemove(c, b);
  b->position = position;
  b->file = fcb->number;
  b->fcb = fcb;
  b->state = 'n';
  HashInsert(c, b);
  Unlink(c, b);
  PushNewest(c, b);
  const NodeLayout& l = fcb->layout;
  c.image.resize(l.node_size);
  FileControlBlock* holder = HolderOf(fcb);
  // A node this handle holds locked cannot be in another process's write.
  bool held = false;
  for (int i = 0; i < holder->held_node_count; ++i) held = held || holder->held_nodes[i] == position;
  for (int attempt = 1;; ++attempt) {
    int32_t count = 0;
    int rc = held ? FilePositionedReadHeld(&holder->os, position, c.image.data(), l.node_size, &count)
                  : FilePositionedIo(0, &holder->os, position, c.image.data(), l.node_size, &count);
    if (rc == 0 && count != l.node_size) rc = 36;
    if (rc == 0) rc = DecodeNode(l, c.image.data(), position, &b->node);
    if (rc == 0 && CurrentInstance()->node_checks > 0 && !NodeImageMatches(l, c.image.data())) rc = kErrFileDamaged;
    // A shared node read without its lock may overlap another process's
    // write of it and come back half old, half new: read it again before
    // calling it damaged.
    if (rc == kErrFileDamaged && IsShared(fcb) && attempt < kNodeReadTries) {
      EngineSleep(1);
      continue;
    }
    if (rc != 0) return rc;
    const NodeHeader& h = b->node.header;
    if (h.member == l.member || (h.leftlink == kNodeRestartMark && h.rightlink != kNodeRestartMark))
      return 0;
    if (attempt == kNodeReadTries) {
      char text[160];
      std::snprintf(text, sizeof text,
                    "E69: f#=%d km=%d bm=%d node=%lxx leftlink=%lxx rightlink=%lxx nentries=%lxx",
                    fcb->number, l.member, h.member, static_cast<unsigned long>(position),
                    static_cast<unsigned long>(h.leftlink), static_cast<unsigned long>(h.rightlink),
                    static_cast<unsigned long>(h.nentries));
      WriteStatusLog(fcb->name, 0);
      WriteStatusLog(text, 0);
      return 69;
    }
  }
}

}  // namespace

int NodeCacheStart(EngineInstance* inst) {
  auto* c = new (std::nothrow) NodeCache;
  if (c == nullptr) return 10;
  const int count = inst->index_buffers > 8 ? inst->index_buffers : 8;
  c->buffers.resize(static_cast<std::size_t>(count));
  c->hash.assign(static_cast<std::size_t>((count + 3) / 4), nullptr);
  int sectors = inst->node_size / 128;
  c->shift = 7;
  while (sectors > 1) {
    sectors /= 2;
    ++c->shift;
  }
  for (NodeBuffer& b : c->buffers) PushNewest(*c, &b);
  inst->node_cache = c;
  return 0;
}

void NodeCacheStop(EngineInstance* inst) {
  delete CacheOf(inst);
  inst->node_cache = nullptr;
}

NodeBuffer* getnode(int mode, uint32_t position, FileControlBlock* fcb) {
  EngineInstance* inst = CurrentInstance();
  NodeCache* c = CacheOf(inst);
  if (c == nullptr) {
    SetEngineError(47);
    return nullptr;
  }
  if (mode != 3) ++inst->node_requests;
  if (position == 0) {
    LogWithName("Zero node request (getnode)...", fcb);
    SetEngineError(527);
    return nullptr;
  }
  NodeBuffer* b = Find(*c, fcb->number, position);
  if (mode == 3) return b;
  if (b == nullptr || IsShared(fcb)) {
    if (int rc = CheckNodePosition(fcb, position)) {
      SetEngineError(rc);
      return nullptr;
    }
    if (b == nullptr) b = c->oldest;
    if (int rc = ReadIntoBuffer(*c, b, position, fcb)) {
      Invalidate(*c, b);
      SetEngineError(rc);
      return nullptr;
    }
  } else {
    ++inst->node_hits;
    Unlink(*c, b);
    PushNewest(*c, b);
  }
  if (!b->node.IsLeaf() && b->node.header.excword != 0) {
    LogWithName("Invalid excword node control field...", fcb);
    Invalidate(*c, b);
    SetEngineError(527);
    return nullptr;
  }
  return b;
}

int NodeCacheError() {
  EngineInstance* inst = CurrentInstance();
  return inst != nullptr && inst->eng_err != 0 ? inst->eng_err : kErrFileDamaged;
}

int FetchNode(FileControlBlock* fcb, uint32_t position, Node* out) {
  NodeBuffer* b = getnode(0, position, fcb);
  if (b == nullptr) return NodeCacheError();
  *out = b->node;
  return 0;
}

int StoreNode(FileControlBlock* fcb, Node* node) {
  EngineInstance* inst = CurrentInstance();
  NodeCache* c = CacheOf(inst);
  if (c == nullptr) return SetEngineError(47);
  const NodeLayout& l = fcb->layout;
  node->header.member = l.member;
  if (!node->IsLeaf()) node->header.excword = 0;
  c->image.resize(l.node_size);
  if (int rc = EncodeNode(l, node, c->image.data())) return SetEngineError(rc);
  NodeBuffer* b = Find(*c, fcb->number, node->position);
  // What the disk holds now, for a write that fails part way: the cached
  // node (the caller fetched it under its lock), else the bytes themselves.
  std::vector<uint8_t> before;
  if (b == nullptr) {
    before.resize(l.node_size);
    int32_t got = 0;
    if (FilePositionedIo(0, &HolderOf(fcb)->os, node->position, before.data(), l.node_size, &got) != 0 ||
        got != l.node_size)
      before.clear();
  }
  int32_t count = 0;
  const int rc = FilePositionedIo(1, &HolderOf(fcb)->os, node->position, c->image.data(), l.node_size, &count);
  if (rc != 0) {
    // A node cut short holds half new entries behind an old count (or the
    // reverse): the whole old node goes back, and the change is reported
    // as not made.
    if (b != nullptr) {
      before.resize(l.node_size);
      if (EncodeNode(l, &b->node, before.data()) != 0) before.clear();
      Invalidate(*c, b);
    }
    if (!before.empty())
      FilePositionedIo(1, &HolderOf(fcb)->os, node->position, before.data(), l.node_size, &count);
    return SetEngineError(rc);
  }
  if (IsShared(fcb)) {
    if (b != nullptr) Invalidate(*c, b);
    return 0;
  }
  if (b == nullptr) {
    b = c->oldest;
    HashRemove(*c, b);
    b->position = node->position;
    b->file = fcb->number;
    b->fcb = fcb;
    HashInsert(*c, b);
  }
  b->node = *node;
  b->state = 'n';
  Unlink(*c, b);
  PushNewest(*c, b);
  return 0;
}

int ReadIndexNode(NodeBuffer* buffer, uint32_t position, FileControlBlock* fcb) {
  NodeCache* c = CacheOf(CurrentInstance());
  if (c == nullptr) return SetEngineError(47);
  if (position == 0) return SetEngineError(527);
  if (int rc = CheckNodePosition(fcb, position)) return SetEngineError(rc);
  // One buffer per node: another copy could go stale behind this one.
  NodeBuffer* other = Find(*c, fcb->number, position);
  if (other != nullptr && other != buffer) Invalidate(*c, other);
  if (int rc = ReadIntoBuffer(*c, buffer, position, fcb)) {
    Invalidate(*c, buffer);
    return SetEngineError(rc);
  }
  return 0;
}

int WriteIndexNode(NodeBuffer* buffer) {
  FileControlBlock* fcb = buffer->fcb;
  if (fcb == nullptr || buffer->position == 0 || buffer->file < 0) {
    EngineFatalError(230);  // a buffer that holds no node of any index
    return SetEngineError(230);
  }
  if (buffer->node.header.member != fcb->layout.member && buffer->node.header.leftlink != kNodeRestartMark) {
    EngineFatalError(230);  // the node belongs to another index member
    return SetEngineError(230);
  }
  Node copy = buffer->node;
  copy.position = buffer->position;
  return StoreNode(fcb, &copy);
}

namespace {

void CheckEntryNumber(const NodeBuffer* buffer, int n) {
  if (n < 1 || n > buffer->node.Count() + 1) EngineFatalError(232);
}

}  // namespace

const uint8_t* NodeKeyArea(const NodeBuffer* buffer) { return buffer->node.keys.data(); }

const uint8_t* NodeKeyAddress(const NodeBuffer* buffer, int n) {
  CheckEntryNumber(buffer, n);
  if (n < 1 || n > buffer->node.Count() + 1) return nullptr;
  return buffer->node.keys.data() + static_cast<std::size_t>(n - 1) * buffer->fcb->layout.key_length;
}

uint32_t NodeChildPointer(const NodeBuffer* buffer, int n) {
  if (buffer->node.IsLeaf()) {
    EngineFatalError(209);
    return 0;
  }
  CheckEntryNumber(buffer, n);
  if (n < 1 || n > buffer->node.Count()) return 0;
  return buffer->node.pointers[static_cast<std::size_t>(n - 1)];
}

uint32_t NodeRecordPosition(const NodeBuffer* buffer, int n) {
  CheckEntryNumber(buffer, n);
  if (n < 1 || n > buffer->node.Count()) return 0;
  return buffer->node.pointers[static_cast<std::size_t>(n - 1)];
}

void ComputeNodeGeometry(FileControlBlock* fcb) {
  ComputeNodeGeometry(&fcb->header);
  fcb->layout = LayoutOfIndex(fcb->header);
}

void ReleaseNodeBuffer(NodeBuffer* buffer) {
  NodeCache* c = CacheOf(CurrentInstance());
  if (c != nullptr && buffer != nullptr) Invalidate(*c, buffer);
}

void ReleaseFileNodes(int file, bool empty_index) {
  EngineInstance* inst = CurrentInstance();
  NodeCache* c = CacheOf(inst);
  if (c != nullptr) {
    for (NodeBuffer& b : c->buffers)
      if (b.file == file) Invalidate(*c, &b);
  }
  if (empty_index && inst != nullptr && inst->files != nullptr && file >= 0 &&
      file < inst->files_allocated && inst->files[file] != nullptr) {
    inst->files[file]->header.root = 0;
    inst->files[file]->header.active_count = 0;
  }
}

NodeCheckScope::NodeCheckScope() {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr) return;
  if (inst->node_checks++ == 0) {
    if (NodeCache* c = CacheOf(inst))
      for (NodeBuffer& b : c->buffers)
        if (b.file >= 0) Invalidate(*c, &b);
  }
}

NodeCheckScope::~NodeCheckScope() {
  if (EngineInstance* inst = CurrentInstance()) --inst->node_checks;
}

int FlushEngineFile(int number) {
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr || inst->files == nullptr) return SetEngineError(47);
  int first = 0;
  auto flush_one = [&](FileControlBlock* f) {
    const int rc = OsFlushFile(&f->os);
    if (rc != 0 && first == 0) first = rc;
  };
  if (number == -1) {
    for (int n = 0; n < inst->files_allocated; ++n) {
      FileControlBlock* f = inst->files[n];
      if (f != nullptr && (f->state == kStateOpen || f->state == kStateVirtual) && f->host == f)
        flush_one(f);
    }
  } else {
    FileControlBlock* f = CheckFileNumber(number);
    if (f == nullptr) return inst->eng_err;
    if (f->header.file_class == kClassSuperMember) return SetEngineError(48);
    if (f->header.member_number != 0) return SetEngineError(23);
    flush_one(f);
  }
  return SetEngineError(first);
}

}  // namespace isam
