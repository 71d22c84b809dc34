// The three resource records of an event file, as bytes: VERSION (20
// bytes), FILETYPE (24 bytes) and CALINFO (at most 2044 bytes). Each starts
// with the resource type 0xFFFFFFFF, its number and its NUL-terminated
// name. Readers take the length the engine returned and never read past
// it; a short or damaged record yields false (or the strings it does hold).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t kResourceType = 0xFFFFFFFFu;
constexpr uint32_t kVersionNumber = 128;
constexpr uint32_t kFileTypeNumber = 129;
constexpr uint32_t kCalInfoNumber = 130;
constexpr size_t kVersionSize = 20;
constexpr size_t kFileTypeSize = 24;
constexpr size_t kCalInfoMaxSize = 2044;
constexpr size_t kCalInfoStringsOffset = 41;
// What the seven strings with their NULs may take.
constexpr size_t kCalInfoStringsMax = 2003;

// The name a resource is looked up by (type, number, name), as the engine
// takes it.
std::vector<uint8_t> ResourceId(uint32_t number, const char* name);

std::vector<uint8_t> EncodeVersion(float version);
bool DecodeVersion(const uint8_t* data, size_t size, float* version);
std::vector<uint8_t> EncodeFileType(int32_t type);
bool DecodeFileType(const uint8_t* data, size_t size, int32_t* type);

struct CalInfo {
  uint8_t subscribed = 0;
  uint8_t published = 0;
  uint8_t refreshAtStartup = 0;
  uint8_t publishAfterSave = 0;
  uint8_t publishAlarms = 0;
  uint8_t addressOrder = 0;
  uint8_t nameFromPath = 0;
  // name, address, user name, password, alternate address, RELCALID,
  // TIMEZONE.
  std::string strings[7];
  // The installation's proof of the publish address, after the seven
  // (older readers stop at the seventh; older files end there).
  std::string publishProof;
};

// False (nothing built) when the strings (the proof's included) with their
// NULs exceed 2003 bytes; no proof adds no string.
bool EncodeCalInfo(const CalInfo& info, std::vector<uint8_t>* out);
// False when the record is shorter than its fixed part; strings cut off by
// the end of the record (no NUL) end there, missing ones stay empty.
bool DecodeCalInfo(const uint8_t* data, size_t size, CalInfo* info);
