// Typed value reading and writing.
#include "builder/project/value_stream.h"

#include <cstring>

namespace tw {

bool ValueReader::take(void* out, size_t count) {
  if (failed()) return false;
  if (count > size_ - pos_) {
    pos_ = size_;
    fail(StreamError::ReadPastEnd);
    return false;
  }
  if (count) std::memcpy(out, data_ + pos_, count);
  pos_ += count;
  return true;
}

int32_t ValueReader::readInteger() {
  uint8_t tag = 0;
  if (!take(&tag, 1)) return 0;
  uint8_t b[4] = {0, 0, 0, 0};
  switch (tag) {
    case kTagInt8:
      if (!take(b, 1)) return 0;
      return static_cast<int8_t>(b[0]);
    case kTagInt16:
      if (!take(b, 2)) return 0;
      return static_cast<int16_t>(b[0] | (b[1] << 8));
    case kTagInt32:
      if (!take(b, 4)) return 0;
      return static_cast<int32_t>(uint32_t(b[0]) | uint32_t(b[1]) << 8 |
                                  uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
    default:
      fail(StreamError::InvalidValue);
      return 0;
  }
}

std::string ValueReader::readString() {
  uint8_t tag = 0;
  if (!take(&tag, 1)) return {};
  size_t length = 0;
  if (tag == kTagString) {
    uint8_t n = 0;
    if (!take(&n, 1)) return {};
    length = n;
  } else if (tag == kTagLongString) {
    uint8_t b[4];
    if (!take(b, 4)) return {};
    length = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 |
             uint32_t(b[3]) << 24;
  } else {
    fail(StreamError::InvalidValue);
    return {};
  }
  // The length is checked against what the data holds before anything is
  // allocated, so a damaged length field costs nothing.
  if (length > remaining()) {
    pos_ = size_;
    fail(StreamError::ReadPastEnd);
    return {};
  }
  std::string text(reinterpret_cast<const char*>(data_ + pos_), length);
  pos_ += length;
  return text;
}

bool ValueReader::readBoolean() {
  uint8_t tag = 0;
  if (!take(&tag, 1)) return false;
  return tag == kTagTrue;
}

bool ValueReader::readRaw(void* out, size_t count) { return take(out, count); }

void ValueWriter::putLittleEndian(uint32_t value, int byteCount) {
  for (int i = 0; i < byteCount; ++i)
    bytes_.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void ValueWriter::writeInteger(int32_t value) {
  if (value >= -128 && value <= 127) {
    bytes_.push_back(kTagInt8);
    putLittleEndian(static_cast<uint32_t>(value), 1);
  } else if (value >= -32768 && value <= 32767) {
    bytes_.push_back(kTagInt16);
    putLittleEndian(static_cast<uint32_t>(value), 2);
  } else {
    bytes_.push_back(kTagInt32);
    putLittleEndian(static_cast<uint32_t>(value), 4);
  }
}

void ValueWriter::writeString(const std::string& value) {
  if (value.size() <= 255) {
    bytes_.push_back(kTagString);
    bytes_.push_back(static_cast<uint8_t>(value.size()));
  } else {
    bytes_.push_back(kTagLongString);
    putLittleEndian(static_cast<uint32_t>(value.size()), 4);
  }
  bytes_.insert(bytes_.end(), value.begin(), value.end());
}

void ValueWriter::writeBoolean(bool value) {
  bytes_.push_back(value ? kTagTrue : kTagFalse);
}

void ValueWriter::writeRaw(const void* data, size_t count) {
  auto p = static_cast<const uint8_t*>(data);
  bytes_.insert(bytes_.end(), p, p + count);
}

}  // namespace tw
