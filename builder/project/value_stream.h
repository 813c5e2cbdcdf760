// The typed values a project file is made of: a tag byte, then the payload.
// The writer always picks the smallest integer tag and the short string tag
// where they fit; the reader accepts every integer and string tag.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tw {

enum ValueTag : uint8_t {
  kTagInt8 = 0x02,
  kTagInt16 = 0x03,
  kTagInt32 = 0x04,
  kTagString = 0x06,      // uint8 length
  kTagFalse = 0x08,
  kTagTrue = 0x09,
  kTagLongString = 0x0C,  // uint32 length
};

// Why a read stopped. The reader remembers the first failure; every later
// read returns an empty value, so callers check failed() once per loop pass.
enum class StreamError {
  None,
  InvalidValue,  // a tag that is not an integer or string where one is due
  ReadPastEnd,   // the data ended early
};

class ValueReader {
 public:
  ValueReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  int32_t readInteger();
  std::string readString();
  bool readBoolean();  // true exactly for tag 0x09
  // Copies count raw bytes that follow the last typed value.
  bool readRaw(void* out, size_t count);

  bool failed() const { return error_ != StreamError::None; }
  StreamError error() const { return error_; }
  size_t position() const { return pos_; }
  size_t remaining() const { return size_ - pos_; }

 private:
  bool take(void* out, size_t count);
  void fail(StreamError e) {
    if (error_ == StreamError::None) error_ = e;
  }

  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  StreamError error_ = StreamError::None;
};

class ValueWriter {
 public:
  void writeInteger(int32_t value);
  void writeString(const std::string& value);
  void writeBoolean(bool value);
  void writeRaw(const void* data, size_t count);

  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  void putLittleEndian(uint32_t value, int byteCount);
  std::vector<uint8_t> bytes_;
};

}  // namespace tw
