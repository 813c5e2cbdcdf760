// Stored folders: each block's payload is its data as it stands.
#include <cstring>
#include <new>

#include "cabinet/core/container/codecs.h"

namespace tw::cab {
namespace {

class StoredEncoder final : public BlockEncoder {
 public:
  explicit StoredEncoder(const CodecMemory& memory) : memory_(memory) {}
  size_t encode(const uint8_t* in, size_t size, uint8_t* out, bool) override {
    if (size == 0 || size > kBlockMax) return 0;
    std::memcpy(out, in, size);
    return size;
  }
  void reset() override {}
  void destroy() override {
    CodecMemory memory = memory_;
    this->~StoredEncoder();
    memory.release(memory.context, this);
  }

 private:
  CodecMemory memory_;
};

class StoredDecoder final : public BlockDecoder {
 public:
  explicit StoredDecoder(const CodecMemory& memory) : memory_(memory) {}
  bool decode(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize) override {
    if (inSize != outSize || outSize > kBlockMax) return false;
    std::memcpy(out, in, outSize);
    return true;
  }
  void reset() override {}
  void destroy() override {
    CodecMemory memory = memory_;
    this->~StoredDecoder();
    memory.release(memory.context, this);
  }

 private:
  CodecMemory memory_;
};

template <typename T>
T* make(const CodecMemory& memory) {
  void* block = memory.alloc(memory.context, sizeof(T));
  return block ? new (block) T(memory) : nullptr;
}

}  // namespace

BlockEncoder* createStoredEncoder(const CodecMemory& memory) { return make<StoredEncoder>(memory); }
BlockDecoder* createStoredDecoder(const CodecMemory& memory) { return make<StoredDecoder>(memory); }

}  // namespace tw::cab
