// The node cache: a fixed set of node buffers chosen at engine start, hashed
// on (file number, position) and replaced least recently used. Nodes are kept
// decoded; the tree code takes copies (FetchNode) and writes changed nodes
// straight back (StoreNode), so no buffer is ever left changed.
//
// Shared files bypass the cache's content: every fetch reads the disk again
// and a written node is released, so other processes' changes are seen.
#pragma once

#include <cstdint>

#include "isam/index/btree_node.h"

namespace isam {

struct EngineInstance;
struct FileControlBlock;

struct NodeBuffer {
  NodeBuffer* hash_next = nullptr;
  NodeBuffer* lru_older = nullptr;
  NodeBuffer* lru_newer = nullptr;
  uint32_t position = 0;       // 0: unused
  int16_t file = -1;           // -1: invalid
  FileControlBlock* fcb = nullptr;
  Node node;
  char state = 'n';            // 'n' clean ('y' is never left behind)
};

// Engine start and stop (registered by InstallFileLayer): the buffers and
// hash lists for the instance's node size and index-buffer count. Start
// returns 0 or 10.
int NodeCacheStart(EngineInstance* inst);
void NodeCacheStop(EngineInstance* inst);

// The buffer holding the node at position of index fcb, read on a miss; null
// with eng_err set. Mode 3 only probes (no read, no statistics). Errors: 527
// position 0 ("Zero node request (getnode)...") or an inner node whose
// excword is not 0 ("Invalid excword node control field..."); 69 a node of
// another index member after 3 reads ("E69: ..."); kErrFileDamaged a
// position outside the file or off the node grid, or a node whose counts do
// not fit it; the I/O codes of a failed read.
NodeBuffer* getnode(int mode, uint32_t position, FileControlBlock* fcb);

// The code of the last failed getnode (eng_err, or kErrFileDamaged when
// eng_err was left 0).
int NodeCacheError();

// getnode, then a copy of the node into *out: 0 or the code above.
int FetchNode(FileControlBlock* fcb, uint32_t position, Node* out);

// Encodes the node, writes it at node->position and refreshes the cache:
// 0, the write's I/O code, or kErrFileDamaged when the entries do not fit.
int StoreNode(FileControlBlock* fcb, Node* node);

// Fills `buffer` with the node at position of index fcb, read from disk
// (three reads when the node's member byte names another index member):
// 0, or getnode's codes (47 no cache, 527, 69, kErrFileDamaged, I/O). A
// failed read leaves the buffer unused.
int ReadIndexNode(NodeBuffer* buffer, uint32_t position, FileControlBlock* fcb);
// Writes the buffer's node back (StoreNode): 0 or StoreNode's codes. A
// buffer without a node, or whose node belongs to another index member
// (and is not marked for restart), is fatal 230: the engine's own memory
// is wrong.
int WriteIndexNode(NodeBuffer* buffer);

// Entry access on a cached node, entries numbered from 1. Keys are held
// whole (compressed entries are expanded when the node is read), key length
// bytes each from NodeKeyArea; NodeKeyAddress(n) for n = count + 1 is the
// end of the keys. The pointer of an entry is the child position in an
// inner node and the record position in a leaf (taken from the big-endian
// suffix in an index with duplicates). An entry number outside 1..count + 1
// is fatal 232 and a child pointer asked of a leaf fatal 209 (callers'
// bugs; node content from disk was checked when it was read).
const uint8_t* NodeKeyArea(const NodeBuffer* buffer);
const uint8_t* NodeKeyAddress(const NodeBuffer* buffer, int n);
uint32_t NodeChildPointer(const NodeBuffer* buffer, int n);
uint32_t NodeRecordPosition(const NodeBuffer* buffer, int n);

// The leaf geometry of an index's header (file_header.h) and the node
// layout the block keeps from it.
void ComputeNodeGeometry(FileControlBlock* fcb);

// Marks a buffer unused and moves it to the replacement end.
void ReleaseNodeBuffer(NodeBuffer* buffer);
// Releases every buffer of a file number; `empty_index` also sets the root
// and key count of the file's header image to 0.
void ReleaseFileNodes(int file, bool empty_index);

// While one lives on the thread's instance, every node read from the disk
// is held to its check value (btree_node.h): one that does not match reads
// as kErrFileDamaged (690). Nodes cached before it are read again. The mend
// after a crash and the full check hold one; other reads do not pay for it.
class NodeCheckScope {
 public:
  NodeCheckScope();
  ~NodeCheckScope();
  NodeCheckScope(const NodeCheckScope&) = delete;
  NodeCheckScope& operator=(const NodeCheckScope&) = delete;
};

// Function 8221: 48 for a superfile member, 23 for an index member; else
// the OS flush of the file (of every open non-member file for -1). The first
// error is kept in eng_err and returned.
int FlushEngineFile(int number);

}  // namespace isam
