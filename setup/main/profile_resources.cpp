// Resource access through the system's resource loader.
#include "setup/main/profile_resources.h"

#include "setup/core/background/dib_layout.h"

namespace tw {

bool ModuleResources::find(uint16_t type, uint16_t id, const uint8_t*& data, size_t& size) const {
  HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
  if (found == nullptr) return false;
  HGLOBAL loaded = LoadResource(module_, found);
  if (loaded == nullptr) return false;
  const void* locked = LockResource(loaded);
  if (locked == nullptr) return false;
  data = static_cast<const uint8_t*>(locked);
  size = SizeofResource(module_, found);
  return true;
}

HBITMAP loadProfileBitmap(HMODULE module, int id) {
  return LoadBitmapA(module, MAKEINTRESOURCEA(id));
}

bool profileBitmapSize(const ResourceSource& resources, int id, int& width, int& height) {
  const uint8_t* data;
  size_t size;
  DibLayout dib;
  if (!resources.find(kResourceBitmap, static_cast<uint16_t>(id), data, size) ||
      !readDibLayout(data, size, dib))
    return false;
  width = dib.width;
  height = dib.height;
  return true;
}

}  // namespace tw
