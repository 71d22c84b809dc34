// The engine's error codes: 16-bit numbers, 0 for success, kept in the
// instance's eng_err (and, for ISAM-level calls, in its ISAM error).
//
// Only the codes the runtime itself produces or that several layers share
// have names here; every layer may add its own numbers next to its calls.
#pragma once

#include <cstdint>

namespace isam {

enum EngineError : int16_t {
  kEngOk = 0,

  // Stubs and function numbers.
  kEngNotInThisBuild = 6,          // operation not available in this build
  kEngBadFunction = 170,           // bad function number
  kEngNotSupported = 454,          // operation not supported in this build
  kEngNotSupported8384 = 513,      // number 8384 in this build

  // Start-up.
  kEngStartNoMemory = 10,          // the start could not allocate its tables
  kEngBadStartArguments = 11,      // sectors not above 0, or a negative file count
  kEngAlreadyStarted = 125,        // engine or thread layer already started
  kEngNoInstance = 129,            // the calling thread has no started instance
  kEngNotStarted = 410,            // stop without a started instance

  // Instance registration and the thread layer.
  kEngNoThreadMemory = 82,         // no memory for a thread block or table
  kEngNoInstances = 516,           // unregister/select: the ring is empty
  kEngUnknownInstance = 517,       // no instance of that name / for this thread
  kEngAlreadyRegistered = 518,     // the thread already has an instance
  kEngNoUserValue = 535,           // thread user value: the thread has no block
  kEngNamedRegistration = 536,     // named registration / non-zero unregister flag
  kEngThreadTableFull = 600,       // fixed thread table full, or growth failed
  kEngMutexCreate = 635,
  kEngMutexWait = 636,
  kEngMutexRelease = 637,
  kEngMutexClose = 641,
  kEngMutexTimeout = 156,

  // Option call and generic argument checks.
  kEngBadArgument = 116,           // unknown code, action or option bit
  kEngNullBuffer = 540,
  kEngNameTooLong = 153,           // a name that does not fit the caller's buffer
  kEngPathTooLong = 139,           // directory prefix would exceed 255 characters

  // Memory.
  kEngPoolNoMemory = 68,           // no memory for a pool chunk
  kEngFcbNoMemory = 603,

  // OS file layer.
  kEngOpenFailed = 12,             // the OS open failed (OS error kept)
  kEngCreateFailed = 17,           // the OS create failed for another reason
  kEngFileExists = 19,             // create of a file that exists (or sharing, for IsNameFree)
  kEngSeekFailed = 35,
  kEngReadFailed = 36,             // short or failed read
  kEngWriteFailed = 37,            // short or failed write
  kEngReopenFailed = 38,           // a virtually closed file could not be reopened
  kEngRecordUnlockFailed = 41,
  kEngRecordLocked = 42,           // record lock could not be had
  kEngFlushFailed = 49,
  kEngNodeLocked = 50,             // node lock could not be had (after waiting)
  kEngNodeUnlockFailed = 51,
  kEngDeleteFailed = 55,
  kEngRenameFailed = 67,
  kEngNegativeLength = 469,
  kEngLockByteInData = 653,        // lock byte not above the logical end of file
  kEngTempNameExists = 17,         // MakeTempFileName: five names in a row exist
  kEngTempNameFailed = 155,

  // Resources (layer of resources; named here for the stub path).
  kEngNoResource = 408,
};

// Fatal internal errors: the process ends (see engine_fatal.h).
enum EngineFatal : int {
  kFatalRecursiveSerl = 1101,
  kFatalRecursiveUnserl = 1102,
  kFatalZeroUnserl = 1103,
  kFatalBadLockType = 1105,
  kFatalRingBroken = 7300,
  kFatalChunkNoFree = 7479,
  kFatalChunkLast = 7480,
  kFatalAllocSize = 7490,
  kFatalFreePrefix = 7491,
  kFatalListFreeCount = 7492,
  kFatalChunkCounts = 7493,
  kFatalNoChunkWithRoom = 7494,
  kFatalForeignElement = 7495,
  kFatalElementFreedTwice = 7496,
  kFatalFreeZeroPrefix = 7497,
  kFatalReopenForSize = 9455,
};

}  // namespace isam
