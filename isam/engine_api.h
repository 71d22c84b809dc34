// The engine's API: one function per operation, each packs its arguments,
// passes the gate and the dispatcher, and returns. Callers never see
// function numbers or the gate.
//
// Unless said otherwise a call returns its error code (0 success); the
// Isam* calls return the ISAM error. Every call also leaves its code in
// eng_err of the calling thread's instance (EngineFindInstance(nullptr)).
// 129: the thread has no started engine. 6: the operation is not in this
// build yet (its layer has not installed it).
#pragma once

#include <cstdint>

namespace isam {

struct IfilBlock;  // file-set definition (file-set layer)
struct IndexKeyDumpBlock;  // index_key_dump.h

// Thread layer, no gate: 0, or 125 when already started (82 no memory).
int EngineThreadLayerStart(int slots, int flags);

// Registers the calling thread (unless the current instance is the global
// default) and starts the engine: 0; 518 thread already registered (the
// first instance stays current); 11 sectors not above 0 or files negative;
// 10 no memory; 125 already started; a failed start unregisters again.
int EngineStart(int16_t index_buffers, int16_t files, int16_t sectors, int16_t data_buffers,
                int16_t mode, const char* owner, const char* word, const char* server);
// Short form: data buffers = index buffers, mode 33, no texts.
int EngineStartShort(int16_t index_buffers, int16_t files, int16_t sectors);

// 410 when the engine was not started on this thread.
int EngineStop();

// First of count free file numbers, or -1.
int EngineFindFreeFileNumbers(int16_t count);
int EngineCreateDataFile(int16_t file, const char* path, int16_t record_length,
                         int16_t extension_size, int16_t mode);
int EngineOpenFile(int16_t file, const char* path, int16_t mode);
int EngineCloseFile(int16_t file);
int EngineSetLockMode(int16_t mode);

// Returns the resource length read (0 when none: eng_err says why, 408
// for a missing resource).
int32_t EngineGetResource(int16_t file, const void* resource_id, void* buffer, int32_t length,
                          int16_t mode);
// The length is explicit (it was a variadic argument).
int EngineAddResource(int16_t file, const void* buffer, int32_t length);
int EngineUpdateResource(int16_t file, const void* buffer, int32_t length);

int IsamCreateFileSet(IfilBlock* ifil);
int IsamOpenFileSet(IfilBlock* ifil);
int IsamCloseFileSet(IfilBlock* ifil);

// length: in the buffer size, out the record length.
int IsamReadVarRecordEqual(int16_t key, const void* target, void* buffer, int32_t* length);
int IsamReadVarRecordAtLeast(int16_t key, const void* target, void* buffer, int32_t* length);
int IsamFirstVarRecord(int16_t file, void* buffer, int32_t* length);
int IsamNextVarRecord(int16_t file, void* buffer, int32_t* length);
// The record length is explicit (it was a variadic argument).
int IsamAddVarRecord(int16_t file, const void* buffer, int32_t length);
int IsamRewriteVarRecord(int16_t file, const void* buffer, int32_t length);
int IsamRereadVarRecord(int16_t file, void* buffer, int32_t length);
// Number 1402: begins (begin non-zero) or ends a write batch of the data
// file (isam/record/write_batch.h: its rewrites flush once, at the end,
// before their keys move). 0; 26 when the file is no open data file or,
// at the end, has no batch; at the end also the flush's code (49: every
// rewrite of the batch kept its old form) or the first key move's.
int IsamWriteBatch(int16_t file, int16_t begin);

// Number 17047: writes the keys of index member `member` of the index
// named in the block to the new OS file named there (index_key_dump.h).
// Returns the number of keys written (also left in block->key_count), 0 on
// an error: eng_err 116, 48, 23, 19, 17, 37 or the open's code.
int32_t EngineDumpIndexKeys(int16_t member, IndexKeyDumpBlock* block);

// Number 230, no gate: the current instance's name, or null.
const char* EngineCurrentInstanceNameCall();

// Raw entry for numbers without an API function (tests, later layers):
// engserl + EngineDispatch.
int EngineCallNumber(uint16_t number, int16_t file, void* block, int32_t* value1,
                     int16_t* short_out, int32_t* value2, int32_t extra);

}  // namespace isam
