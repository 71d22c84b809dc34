// The engine-instance block: all state of the engine for one registered
// thread, kept in a ring, and the calls that register, find and select it.
//
// The gate (engine_gate.h) makes the calling thread's instance current at
// every call; everything in the engine then reads CurrentInstance(). Blocks
// are zero-filled when registered, so every field below starts at 0/null
// unless the start sets it.
#pragma once

#include <cstdint>

#include "isam/runtime/engine_pool.h"

namespace isam {

struct FileControlBlock;  // isam/file_control_block.h (file layer)
struct EngineOsFile;      // isam/os_file_layer.h

struct EngineInstance {
  EngineInstance* next = nullptr;  // ring, circular
  char name[32] = {};              // decimal thread id of the registering thread
  uint32_t thread_id = 0;

  int16_t eng_err = 0;             // result of the last call
  int16_t os_error = 0;            // last OS error (platform::FileError codes, or -539)
  int16_t isam_error = 0;          // result of the last ISAM-level call
  int16_t isam_error_file = 0;     // the file number it concerns
  int16_t start_mode = 0;          // mode argument of the start call
  bool started = false;

  // ---- limits from the start ----
  int16_t file_count = 0;          // file numbers 0 .. file_count-1
  int16_t index_buffers = 0;       // node buffers
  int16_t data_buffers = 0;
  int32_t node_size = 0;           // sectors x 128
  int16_t member_name_limit = 0;   // 128 below 1024-byte nodes, else 255
  char member_separator = '!';
  char data_extension[8] = {};     // ".dat"
  char index_extension[8] = {};    // ".idx"
  int32_t pool_chunk_budget = 0;   // bytes per chunk of lists 0..19 (2048)
  int32_t sort_buffer_limit = 0;   // largest block of the maintenance sort (16000)

  // ---- file layer (isam/file_control_block.h owns these) ----
  // One pointer per file number; the file layer allocates and grows the
  // table (32 at a time) in its start hook and frees it in its stop hook.
  FileControlBlock** files = nullptr;
  int16_t files_allocated = 0;     // entries in files
  int16_t files_open = 0;          // engine files open (for statistics)
  uint8_t* scratch = nullptr;      // 0xFF-filled scratch buffer (512..2048 bytes)
  int32_t scratch_size = 0;
  void* file_layer = nullptr;      // free for the file layer's own state

  // ---- node cache layer (isam/node_cache.h owns these) ----
  void* node_cache = nullptr;      // the cache's own state (buffers, hash lists)
  void* data_buffer_block = nullptr;
  uint32_t node_requests = 0;      // statistics the benchmarks read
  uint32_t node_hits = 0;
  int node_checks = 0;             // above 0: nodes read are held to their check values

  // ---- pool (isam/engine_pool.h) ----
  PoolList pools[kPoolListCount];

  // ---- OS file layer (isam/os_file_layer.h) ----
  int32_t os_file_limit = 0;       // handle budget (500 at start)
  int32_t os_files_counted = 0;    // open OS files in the budget list
  EngineOsFile* lru_oldest = nullptr;
  EngineOsFile* lru_newest = nullptr;
  uint32_t io_reads = 0, io_writes = 0;
  uint64_t io_bytes_read = 0, io_bytes_written = 0;
  int16_t path_mode = 0;           // 2, 3: relative names get `directory`
  char directory[256] = {};
  uint32_t temp_name_step = 0;     // MakeTempFileName running value

  // ---- options (engine_start.h) ----
  uint32_t option_word = 0;
  int32_t option_value = 0;        // value stored with option bit 0x8

  // ---- later layers (record locks, transactions, ISAM tables) ----
  int16_t lock_mode = 0;           // lock-mode state
  void* record_locks = nullptr;    // record-lock lists
  void* isam_tables = nullptr;     // ISAM key and file-set tables
  void* isam_position = nullptr;   // current ISAM position
  void* layer_state[8] = {};       // free slots for layers not foreseen here

  // ---- maintenance utilities (isam/maint) ----
  void* expr_eval_stack = nullptr; // 4096-byte evaluation stack or null
  int32_t expr_stack_top = 0;
  void* batch_table = nullptr;
  void* context_table = nullptr;

  uint32_t user_value = 0;         // thread user value, kept across re-registration

  // ---- ISAM sets and saved positions (isam_record_sets.h, isam_saved_position.h) ----
  int16_t isam_set_key = -1;       // key number of the current set (-1 none)
  int16_t isam_set_length = 0;     // leading bytes its keys share
  uint8_t isam_set_leading[256] = {};
  void* saved_positions = nullptr; // SavedPositionTable of the saved ISAM positions

  // ---- file copies (file_copy.h) ----
  bool shared_copy_allowed = false; // CopyFileToPath may copy files open shared

  // ---- what the maintenance utilities keep here besides the tables above ----
  int32_t expr_operation = 0;       // index of the operation being evaluated
  int16_t expr_last_error = 0;
  int32_t hash_size = 16;           // buckets of the batch and context tables (at least 1)
  void* batch_state = nullptr;      // the current BatchState (isam/maint), null: no batch
  void* batch_entry = nullptr;      // the current batch entry
  void* position_context = nullptr; // the current PositionContext
  void* rebuild_record = nullptr;   // the rebuild's record buffer
  int32_t rebuild_record_size = 0;
  // A rebuild is running: opens accept files flagged 255 and files kept
  // for transactions (which it may change), and a file whose conditions
  // do not load opens without them so they can be replaced.
  bool rebuild_mode = false;
};

// The instance the engine works on now (null when none is current).
EngineInstance* CurrentInstance();
// Makes inst current without any check (the gate and tests use it).
void SetCurrentInstance(EngineInstance* inst);

// Stores code in the current instance's eng_err and returns it (no
// instance: just returns it).
int SetEngineError(int code);
// Stores code and file as the ISAM error of the current instance and
// code in eng_err; returns code.
int SetIsamError(int code, int file);

// Registers the calling thread (runs without the gate; see Interfaces):
// 536 for a non-null name; 518 when the thread already has an instance
// (the previously current one stays current, the gate is left); 82 when
// no thread block can be had (gate left). 0: the new zeroed instance is
// current, linked behind the previous current one, and THE GATE IS STILL
// HELD: the caller's next dispatched call (or an engunserl) leaves it.
int EngineRegisterInstance(const char* name);

// Removes the calling thread's instance from the ring: 536 for a non-zero
// flag, 516 when the ring is empty, 517 when the thread has none. The
// block goes back to the thread layer. When the removed one was current
// its predecessor becomes current (null when it was the last).
int EngineUnregisterInstance(int flag);

// The instance named name, or (null name) the calling thread's; null when
// none. Walks the ring once, without the gate.
EngineInstance* EngineFindInstance(const char* name);

// Makes the calling thread's instance current (the gate calls it): 0;
// 516 when nothing is current and nothing parked; 517 when the thread has
// no instance (the current pointer is parked and cleared).
int EngineSelectInstance(const char* name);

// The current instance's name, or null (no gate).
const char* EngineCurrentInstanceName();

// Empties the ring without touching the blocks (the thread layer's
// shutdown, which frees them, calls it).
void EngineForgetAllInstances();

// Registration names the start calls test and use.
constexpr const char kDefaultGlobalInstanceName[] = "engREG_DEF_GV";
constexpr const char kDefaultIsamInstanceName[] = "engREG_DEF_ID";

}  // namespace isam
