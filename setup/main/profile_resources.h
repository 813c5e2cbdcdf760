// The install profile as resources of the loaded resource DLL, and its
// bitmaps.
#pragma once
#include <windows.h>

#include "common/install_profile.h"

namespace tw {

constexpr uint16_t kResourceBitmap = 2;

class ModuleResources final : public ResourceSource {
 public:
  explicit ModuleResources(HMODULE module) : module_(module) {}
  // Finds, loads and locks the resource again on every call; the bytes stay
  // valid while the module is loaded.
  bool find(uint16_t type, uint16_t id, const uint8_t*& data, size_t& size) const override;
  HMODULE module() const { return module_; }

 private:
  HMODULE module_;
};

// Bitmap `id` converted for the display; nullptr when the module lacks it.
HBITMAP loadProfileBitmap(HMODULE module, int id);

// Width and height from the header of bitmap `id`; false when it is absent
// or its header is unreadable.
bool profileBitmapSize(const ResourceSource& resources, int id, int& width, int& height);

}  // namespace tw
