// Small helpers for writing example projects through the model.
#pragma once
#include <memory>
#include <string>

#include "builder/project/project_document.h"

namespace tw::examples {

inline TreeNode& addComponent(ProjectDocument& p, TreeNode& root, const std::string& name,
                              int32_t picture, int32_t flags, const std::string& path,
                              const std::string& description) {
  TreeNode& c = root.addChild(name, picture);
  c.komp = std::make_unique<KompRec>();
  c.komp->id = p.allocateComponentId();
  c.komp->flags = flags;
  c.komp->path = path;
  c.komp->description = description;
  return c;
}

inline TreeNode& addReference(TreeNode& parent, const TreeNode& component) {
  TreeNode& r = parent.addChild(component.text, component.picture);
  r.value = component.komp->id;
  return r;
}

inline TreeNode& addFile(TreeNode& component, const std::string& source, int32_t value = 0) {
  TreeNode& f = component.addChild(source, kPictureFileEntry);
  f.value = value;
  return f;
}

// A registry value node: name, NUL, data; kind 0 default, 1 string,
// 2 expandable, 3 binary (hex pairs), 4 DWORD.
inline TreeNode& addValue(TreeNode& key, const std::string& name, const std::string& data, int32_t kind) {
  std::string text = name;
  text += '\0';
  text += data;
  TreeNode& v = key.addChild(text, kPictureRegistryValue);
  v.value = kind;
  return v;
}

}  // namespace tw::examples
