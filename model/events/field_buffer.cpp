// The buffer and the item writer of the tagged-field codec.
#include "model/events/field_buffer.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "model/events/field_buffer_bytes.h"
#include "model/services/model_services.h"

namespace {
const char kOutOfMemory[] = "Error writing event to file.\n\nOut of memory.";
}  // namespace

CFieldBuffer::CFieldBuffer() {
  data_ = static_cast<uint8_t*>(std::malloc(kInitialCapacity));
  capacity_ = data_ ? kInitialCapacity : 0;
}

CFieldBuffer::~CFieldBuffer() { std::free(data_); }

void CFieldBuffer::Reset() {
  used_ = 0;
  failed_ = false;
  nestedFailures_.clear();
}

void CFieldBuffer::Truncate(uint32_t used) {
  if (used < used_) used_ = used;
}

bool CFieldBuffer::Fail() {
  failed_ = true;
  ++failures_;
  return false;
}

bool CFieldBuffer::Grow(uint32_t n) {
  if (static_cast<uint64_t>(used_) + n <= capacity_) return true;
  uint64_t wanted = static_cast<uint64_t>(capacity_) + n + kGrowthHeadroom;
  uint8_t* grown = nullptr;
  if (wanted <= capacityLimit_ && wanted <= 0xFFFFFFFFu)
    grown = static_cast<uint8_t*>(std::realloc(data_, static_cast<size_t>(wanted)));
  if (!grown) {
    if (IShellServices* shell = GetModelServices().shell) shell->ShowError(kOutOfMemory);
    return false;
  }
  data_ = grown;
  capacity_ = static_cast<uint32_t>(wanted);
  return true;
}

bool CFieldBuffer::PutRaw(const void* bytes, uint32_t n) {
  if (!Grow(n)) return Fail();
  if (n) std::memcpy(data_ + used_, bytes, n);
  used_ += n;
  return true;
}

bool CFieldBuffer::PutItem(uint16_t tag, const void* data, uint32_t n) {
  if (n > kMaxItemData) return Fail();
  if (!Grow(kItemHeaderSize + n)) return Fail();
  fieldbytes::Put16(data_ + used_, tag);
  fieldbytes::Put16(data_ + used_ + 2, static_cast<uint16_t>(n));
  if (n) std::memcpy(data_ + used_ + kItemHeaderSize, data, n);
  used_ += kItemHeaderSize + n;
  return true;
}

bool CFieldBuffer::PutByte(uint16_t tag, int32_t value) {
  if (value < -128 || value > 127) return Fail();
  uint8_t b = static_cast<uint8_t>(static_cast<int8_t>(value));
  return PutItem(tag, &b, 1);
}

bool CFieldBuffer::PutShort(uint16_t tag, int32_t value) {
  if (value < INT16_MIN || value > INT16_MAX) return Fail();
  uint8_t b[2];
  fieldbytes::Put16(b, static_cast<uint16_t>(value));
  return PutItem(tag, b, 2);
}

bool CFieldBuffer::PutInt(uint16_t tag, int32_t value) {
  uint8_t b[4];
  fieldbytes::Put32(b, static_cast<uint32_t>(value));
  return PutItem(tag, b, 4);
}

bool CFieldBuffer::PutByteIfSet(uint16_t tag, int32_t value) { return value == -2 || PutByte(tag, value); }
bool CFieldBuffer::PutShortIfSet(uint16_t tag, int32_t value) { return value == -2 || PutShort(tag, value); }
bool CFieldBuffer::PutIntIfSet(uint16_t tag, int32_t value) { return value == -2 || PutInt(tag, value); }

bool CFieldBuffer::PutByteList(uint16_t tag, const std::vector<int16_t>& values) {
  if (values.empty()) return true;
  if (values.size() > kMaxItemData) return Fail();
  std::vector<uint8_t> bytes;
  bytes.reserve(values.size());
  for (int16_t v : values) {
    if (v < -128 || v > 127) return Fail();
    bytes.push_back(static_cast<uint8_t>(static_cast<int8_t>(v)));
  }
  return PutItem(tag, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

bool CFieldBuffer::PutWordList(uint16_t tag, const std::vector<int16_t>& values) {
  if (values.empty()) return true;
  if (values.size() * 2 > kMaxItemData) return Fail();
  std::vector<uint8_t> bytes(values.size() * 2);
  for (size_t i = 0; i < values.size(); ++i) fieldbytes::Put16(&bytes[2 * i], static_cast<uint16_t>(values[i]));
  return PutItem(tag, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

bool CFieldBuffer::PutString(uint16_t tag, const std::string& text) {
  if (text.empty()) return true;
  // The text must come back as it went in: one longer than the item length
  // can say would wrap the length and corrupt the rest of the record.
  if (text.size() + 1 > kMaxItemData) return Fail();
  return PutItem(tag, text.c_str(), static_cast<uint32_t>(text.size() + 1));
}

bool CFieldBuffer::BeginNested(uint16_t tag, uint32_t* headerOffset) {
  if (!Grow(kItemHeaderSize)) return Fail();
  *headerOffset = used_;
  fieldbytes::Put16(data_ + used_, tag);
  fieldbytes::Put16(data_ + used_ + 2, 0);
  used_ += kItemHeaderSize;
  // Failures inside the item are counted from here.
  nestedFailures_.push_back(failures_);
  return true;
}

bool CFieldBuffer::EndNested(uint16_t tag, uint32_t headerOffset) {
  uint32_t before = failures_;
  if (!nestedFailures_.empty()) {
    before = nestedFailures_.back();
    nestedFailures_.pop_back();
  }
  if (headerOffset + kItemHeaderSize > used_) return Fail();
  uint32_t length = used_ - headerOffset - kItemHeaderSize;
  if (failures_ != before || length > kMaxItemData) {
    used_ = headerOffset;
    return Fail();
  }
  fieldbytes::Put16(data_ + headerOffset, tag);
  fieldbytes::Put16(data_ + headerOffset + 2, static_cast<uint16_t>(length));
  return true;
}
