// The state of one sort, shared by the files of the sort (not part of its
// interface).
#pragma once

#include <cstdint>

#include "isam/maint/sort/merge_sort.h"

namespace isam {

constexpr int kSortMaxOrder = 5;
constexpr int kSortMaxRuns = 64;  // tiers of merges keep far fewer runs alive

struct SortRun {
  char name[16] = {};
  int16_t file = -1;          // open engine file number, -1 closed
  uint32_t bytes = 0;         // key bytes in the run
  int32_t level = 0;          // merges its keys went through
  // Reading while merging:
  uint8_t* buffer = nullptr;  // one of the memory blocks
  uint32_t read_at = 0;       // run offset of the next block to read
  uint32_t filled = 0;        // bytes in buffer
  uint32_t next = 0;          // offset of the current key in buffer
  bool ended = false;
};

struct SortContext {
  int32_t key_length = 0;
  int32_t order = 0;
  int32_t block_size = 0;
  uint8_t* blocks[kSortMaxOrder] = {};
  int32_t block_in_use = 0;
  int32_t block_used = 0;
  uint8_t** pointers = nullptr;
  int32_t capacity = 0;
  int32_t in_memory = 0;
  int32_t delivered = 0;      // keys handed out of memory (no runs)
  uint8_t* output = nullptr;  // merge and run output buffer (block size)
  int32_t output_fill = 0;
  SortRun runs[kSortMaxRuns];
  int32_t run_count = 0;
  SortRun merge;              // the X file of an intermediate merge
  int16_t error = 0;
  uint32_t base_time = 0;     // the time value work-file names start from
  bool input_closed = false;
  bool all_in_memory = false;
  maint::SortStats stats;
  int32_t open_files = 0;
};

}  // namespace isam

namespace isam::maint {

// sort_runs.cpp
// The file position of `count` bytes at run offset `at` into *position:
// 0, or 126 when they would not end below 4 GB (a work file's positions
// are 32-bit, so a longer run would wrap onto its own first keys).
int SortWorkPosition(uint32_t at, uint32_t count, uint32_t* position);
int SortSpill(SortContext* c);                    // sorts memory and writes it as a run (then merges tiers)
int SortPrepareFinal(SortContext* c);             // merges down to order - 1 runs and opens them
int SortNextFromRuns(SortContext* c, uint8_t* out, bool* done);
int SortDeleteWorkFiles(SortContext* c);          // closes and deletes every run and the X file: 0, 121 or 122
int SortFail(SortContext* c, int code);           // keeps code, sets eng_err 370 + code

// sort_memory.cpp
void SortPointers(uint8_t** keys, int32_t count, int32_t key_length);

}  // namespace isam::maint
