// Encoding of the type, component and shortcut records of the profile.
#include "builder/build/profile_records.h"

#include "builder/build/build_context.h"
#include "common/install_profile.h"

namespace tw {
namespace {

constexpr uint16_t kTypeOwnNode = 0xFFFF;
constexpr size_t kMaxShortcuts = 32;

int countNodes(const TreeNode& node) {
  int n = 1;
  for (const auto& c : node.children) n += countNodes(*c);
  return n;
}

uint32_t pictureFlags(int32_t picture) {
  uint32_t f = 0;
  if (picture == kPictureFileEntry || picture == kPictureDummyEntry || picture == kPictureRegistryValue)
    f |= kEntryFile;
  if (picture == kPictureRegistry || picture == kPictureRegistryValue || picture == kPictureRemoveFileObjects)
    f |= kEntryRegistry;
  return f;
}

void appendTypeNodes(std::vector<uint8_t>& out, const ProjectDocument& project, const TreeNode& node,
                     const std::string& typeName) {
  for (const auto& child : node.children) {
    if (!child->component)
      throw BuildError("Der Installationstyp \"" + typeName + "\" verweist auf \"" + child->text +
                       "\", eine Komponente, die es nicht gibt. Erzeugung abgebrochen.");
    appendU16(out, static_cast<uint32_t>(child->children.size()));
    appendU16(out, static_cast<uint32_t>(componentNumber(project, *child->component)));
    appendU32(out, 0);
    appendTypeNodes(out, project, *child, typeName);
  }
}

std::string entryText(const TreeNode& node) {
  if (node.picture == kPictureFileEntry) return sourceFileName(node.text);
  if (node.picture == kPictureRegistryValue && node.value == 3) {
    size_t nul = node.text.find('\0');
    if (nul == std::string::npos) return node.text;
    return node.text.substr(0, nul + 1) + hexPairsToBytes(node.text.substr(nul + 1), node.text.substr(0, nul));
  }
  return node.text;
}

void appendEntries(std::vector<uint8_t>& out, const TreeNode& node) {
  for (const auto& child : node.children) {
    appendU16(out, static_cast<uint32_t>(child->children.size()));
    appendU32(out, static_cast<uint32_t>(child->value) | pictureFlags(child->picture));
    appendShortString(out, entryText(*child));
    appendEntries(out, *child);
  }
}

}  // namespace

void appendU16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void appendU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void appendShortString(std::vector<uint8_t>& out, const std::string& text) {
  if (text.size() > 255) {
    std::string start = text.substr(0, 40);
    for (char& c : start)
      if (c == '\0') c = ' ';
    throw BuildError("Der Text \"" + start + "...\" ist l\xE4nger als 255 Zeichen und kann nicht "
                     "ins Installationsprofil geschrieben werden. Erzeugung abgebrochen.");
  }
  out.push_back(static_cast<uint8_t>(text.size()));
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

std::vector<const TreeNode*> profileComponents(const ProjectDocument& project) {
  std::vector<const TreeNode*> out;
  for (const TreeNode* root : {project.fileComponentsRoot(), project.registryComponentsRoot()})
    if (root)
      for (const auto& c : root->children) out.push_back(c.get());
  return out;
}

int componentNumber(const ProjectDocument& project, const TreeNode& component) {
  int index = component.indexInParent();
  if (component.picture != kPictureFileComponent && project.fileComponentsRoot())
    index += static_cast<int>(project.fileComponentsRoot()->children.size());
  return index;
}

std::vector<uint8_t> encodeInstallationType(const ProjectDocument& project, const TreeNode& root) {
  std::vector<uint8_t> out;
  appendU32(out, static_cast<uint32_t>(countNodes(root)));
  bool preselected = root.value != kTypeNetzwerk && root.value == project.DefaultType;
  out.push_back(preselected ? 1 : 0);
  appendShortString(out, root.text);
  appendShortString(out, project.typeDescription(root.value));
  appendU16(out, static_cast<uint32_t>(root.children.size()));
  appendU16(out, kTypeOwnNode);
  appendU32(out, 0);
  appendTypeNodes(out, project, root, root.text);
  return out;
}

std::vector<uint8_t> encodeComponent(const TreeNode& component) {
  std::vector<uint8_t> out;
  const KompRec empty;
  const KompRec& k = component.komp ? *component.komp : empty;
  bool registry = component.picture != kPictureFileComponent;
  bool notOffered = (k.flags & kKompNotOptional) != 0;
  appendU32(out, static_cast<uint32_t>(countNodes(component)));
  if (notOffered && registry) {
    appendU32(out, 0);  // two empty short strings
  } else {
    appendShortString(out, component.text);
    appendShortString(out, notOffered ? std::string() : k.description);
  }
  appendU32(out, static_cast<uint32_t>(k.size));
  appendU16(out, static_cast<uint32_t>(component.children.size()));
  appendU32(out, static_cast<uint32_t>(k.flags) | pictureFlags(component.picture));
  appendShortString(out, k.path);
  appendEntries(out, component);
  return out;
}

std::string sourceFileName(const std::string& path) {
  size_t sep = path.find_last_of("\\:");
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string shortcutTarget(const TreeNode& fileEntry) {
  std::string component = fileEntry.parent ? fileEntry.parent->text : std::string();
  return "[" + component + "]\\" + sourceFileName(fileEntry.text);
}

std::string hexPairsToBytes(const std::string& hex, const std::string& valueName) {
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  auto stop = [&](size_t at) {
    unsigned char c = static_cast<unsigned char>(hex[at]);
    std::string shown = c < 0x20 ? "Steuerzeichen " + std::to_string(c) : "\"" + std::string(1, hex[at]) + "\"";
    throw BuildError("Der Bin\xE4rwert \"" + valueName + "\" enth\xE4lt an Stelle " + std::to_string(at + 1) +
                     " das Zeichen " + shown + ", das keine Hexadezimalziffer (0-9, A-F) ist. Erzeugung abgebrochen.");
  };
  std::string out;
  for (size_t i = 0; i < hex.size(); i += 2) {
    int high = digit(hex[i]);
    if (high < 0) stop(i);
    if (i + 1 >= hex.size()) break;  // a trailing odd digit is dropped
    int low = digit(hex[i + 1]);
    if (low < 0) stop(i + 1);
    out += static_cast<char>(high * 16 + low);
  }
  return out;
}

std::vector<uint8_t> encodeShortcuts(const ProjectDocument& project) {
  const auto& entries = project.CheckListBox2;
  if (entries.size() > kMaxShortcuts)
    throw BuildError("Ein Setup kann h\xF6" "chstens 32 Verkn\xFCpfungen anlegen; das Projekt hat " +
                     std::to_string(entries.size()) + ". Erzeugung abgebrochen.");
  std::vector<uint8_t> out;
  appendU32(out, static_cast<uint32_t>(entries.size()));
  uint32_t mask = 0;
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].checked) mask |= 1u << i;
  appendU32(out, mask);
  for (const ShortcutEntry& e : entries) {
    const TCmdObject& o = e.object;
    if (!o.target)
      throw BuildError("Die Verkn\xFCpfung \"" + e.caption +
                       "\" hat keine Zieldatei. Erzeugung abgebrochen.");
    appendShortString(out, o.subFolder + e.caption);
    std::string command = shortcutTarget(*o.target);
    command += '\0';
    command += o.parameters;
    command += '\0';
    command += o.workDir;
    command += '\0';
    command += o.iconFile;
    command += '\0';
    command += static_cast<char>(o.iconIndex);
    command += static_cast<char>((o.appPathFile ? 1 : 0) | (o.appPathDir ? 2 : 0));
    appendShortString(out, command);
  }
  return out;
}

}  // namespace tw
