// Reading a project back from its JSON form (projectToJson's output, or
// a file written by hand in the same form).
#include <cstdint>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

#include "builder/project/project_file.h"
#include "builder/project/project_json.h"
#include "common/cp1252.h"

namespace tw {
namespace {

constexpr int kMaxNesting = 2 * kProjectTreeMaxDepth + 16;

struct Value {
  enum Kind { Null, Boolean, Number, String, Array, Object } kind = Null;
  int line = 0, column = 0;
  bool boolean = false;
  long long number = 0;
  bool integral = true;
  std::string text;  // CP1252
  std::vector<Value> items;
  std::vector<std::pair<std::string, Value>> members;  // in file order
};

// Thrown with the place the reading stopped at.
struct Failure {
  int line, column;
  std::string what;
};

class Parser {
 public:
  explicit Parser(const std::string& text) : s_(text) {}

  Value document() {
    skipSpace();
    Value v = value(0);
    skipSpace();
    if (at_ < s_.size()) fail("nach dem Ende des Dokuments folgt noch Text");
    return v;
  }

 private:
  [[noreturn]] void fail(const std::string& what) { throw Failure{line_, column(), what}; }
  int column() const { return static_cast<int>(at_ - lineStart_) + 1; }

  void skipSpace() {
    while (at_ < s_.size()) {
      char c = s_[at_];
      if (c == '\n') {
        ++line_;
        lineStart_ = ++at_;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++at_;
      } else {
        break;
      }
    }
  }

  bool take(const char* word) {
    size_t n = std::char_traits<char>::length(word);
    if (s_.compare(at_, n, word) != 0) return false;
    at_ += n;
    return true;
  }

  Value value(int depth) {
    if (depth > kMaxNesting) fail("zu tief verschachtelt");
    Value v;
    v.line = line_;
    v.column = column();
    if (at_ >= s_.size()) fail("unerwartetes Ende des Dokuments");
    char c = s_[at_];
    if (c == '{') {
      v.kind = Value::Object;
      ++at_;
      skipSpace();
      if (at_ < s_.size() && s_[at_] == '}') {
        ++at_;
        return v;
      }
      for (;;) {
        skipSpace();
        if (at_ >= s_.size() || s_[at_] != '"') fail("Schl\xFCssel in Anf\xFChrungszeichen erwartet");
        int keyLine = line_, keyColumn = column();
        std::string key = string();
        for (const auto& m : v.members)
          if (m.first == key) throw Failure{keyLine, keyColumn, "Schl\xFCssel \"" + key + "\" doppelt"};
        skipSpace();
        if (at_ >= s_.size() || s_[at_] != ':') fail("\":\" erwartet");
        ++at_;
        skipSpace();
        v.members.emplace_back(key, value(depth + 1));
        skipSpace();
        if (at_ < s_.size() && s_[at_] == ',') {
          ++at_;
          continue;
        }
        if (at_ < s_.size() && s_[at_] == '}') {
          ++at_;
          return v;
        }
        fail("\",\" oder \"}\" erwartet");
      }
    }
    if (c == '[') {
      v.kind = Value::Array;
      ++at_;
      skipSpace();
      if (at_ < s_.size() && s_[at_] == ']') {
        ++at_;
        return v;
      }
      for (;;) {
        skipSpace();
        v.items.push_back(value(depth + 1));
        skipSpace();
        if (at_ < s_.size() && s_[at_] == ',') {
          ++at_;
          continue;
        }
        if (at_ < s_.size() && s_[at_] == ']') {
          ++at_;
          return v;
        }
        fail("\",\" oder \"]\" erwartet");
      }
    }
    if (c == '"') {
      v.kind = Value::String;
      v.text = string();
      return v;
    }
    if (take("true")) {
      v.kind = Value::Boolean;
      v.boolean = true;
      return v;
    }
    if (take("false")) {
      v.kind = Value::Boolean;
      return v;
    }
    if (take("null")) return v;
    if (c == '-' || (c >= '0' && c <= '9')) return number(v);
    fail("Wert erwartet");
  }

  Value number(Value v) {
    v.kind = Value::Number;
    bool negative = s_[at_] == '-';
    if (negative) ++at_;
    if (at_ >= s_.size() || s_[at_] < '0' || s_[at_] > '9') fail("Ziffer erwartet");
    if (s_[at_] == '0' && at_ + 1 < s_.size() && s_[at_ + 1] >= '0' && s_[at_ + 1] <= '9')
      fail("Zahl mit f\xFChrender Null");
    unsigned long long magnitude = 0;
    bool tooLarge = false;
    while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9') {
      magnitude = magnitude * 10 + static_cast<unsigned>(s_[at_++] - '0');
      if (magnitude > (1ULL << 40)) tooLarge = true;
    }
    if (at_ < s_.size() && (s_[at_] == '.' || s_[at_] == 'e' || s_[at_] == 'E')) {
      v.integral = false;
      if (s_[at_] == '.') {
        ++at_;
        if (at_ >= s_.size() || s_[at_] < '0' || s_[at_] > '9') fail("Ziffer erwartet");
        while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9') ++at_;
      }
      if (at_ < s_.size() && (s_[at_] == 'e' || s_[at_] == 'E')) {
        ++at_;
        if (at_ < s_.size() && (s_[at_] == '+' || s_[at_] == '-')) ++at_;
        if (at_ >= s_.size() || s_[at_] < '0' || s_[at_] > '9') fail("Ziffer erwartet");
        while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9') ++at_;
      }
    }
    if (tooLarge) v.integral = false;
    v.number = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    return v;
  }

  unsigned hex4() {
    if (at_ + 4 > s_.size()) fail("vier Hexziffern erwartet");
    unsigned out = 0;
    for (int i = 0; i < 4; ++i) {
      char c = s_[at_++];
      out <<= 4;
      if (c >= '0' && c <= '9') out |= static_cast<unsigned>(c - '0');
      else if (c >= 'a' && c <= 'f') out |= static_cast<unsigned>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') out |= static_cast<unsigned>(c - 'A' + 10);
      else fail("vier Hexziffern erwartet");
    }
    return out;
  }

  // One code point of the UTF-8 text at at_.
  char32_t utf8() {
    unsigned char c = static_cast<unsigned char>(s_[at_]);
    size_t length = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (!length || at_ + length > s_.size()) fail("kein g\xFCltiges UTF-8");
    char32_t cp = length == 1 ? c : length == 2 ? (c & 0x1F) : length == 3 ? (c & 0x0F) : (c & 0x07);
    for (size_t k = 1; k < length; ++k) {
      unsigned char d = static_cast<unsigned char>(s_[at_ + k]);
      if ((d & 0xC0) != 0x80) fail("kein g\xFCltiges UTF-8");
      cp = (cp << 6) | (d & 0x3F);
    }
    static const char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) fail("kein g\xFCltiges UTF-8");
    at_ += length;
    return cp;
  }

  void appendCp1252(std::string& out, char32_t cp, int line, int column) {
    for (unsigned b = 0; b < 256; ++b)
      if (cp1252ToCodePoint(static_cast<unsigned char>(b)) == cp) {
        out += static_cast<char>(b);
        return;
      }
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
    throw Failure{line, column, std::string("das Zeichen ") + code + " hat keine Entsprechung in Windows-1252"};
  }

  std::string string() {
    ++at_;  // the opening quote
    std::string out;
    for (;;) {
      if (at_ >= s_.size()) fail("Zeichenkette nicht abgeschlossen");
      int line = line_, col = column();
      char c = s_[at_];
      if (c == '"') {
        ++at_;
        return out;
      }
      if (static_cast<unsigned char>(c) < 0x20) fail("Steuerzeichen in einer Zeichenkette");
      if (c != '\\') {
        appendCp1252(out, utf8(), line, col);
        continue;
      }
      ++at_;
      if (at_ >= s_.size()) fail("Zeichenkette nicht abgeschlossen");
      char e = s_[at_++];
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          char32_t cp = hex4();
          if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (!take("\\u")) fail("zweite H\xE4lfte eines Ersatzpaars erwartet");
            char32_t low = hex4();
            if (low < 0xDC00 || low > 0xDFFF) fail("zweite H\xE4lfte eines Ersatzpaars erwartet");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            fail("einzelne H\xE4lfte eines Ersatzpaars");
          }
          appendCp1252(out, cp, line, col);
          break;
        }
        default: throw Failure{line, col, "unbekannte Escape-Sequenz"};
      }
    }
  }

  const std::string& s_;
  size_t at_ = 0;
  int line_ = 1;
  size_t lineStart_ = 0;
};

// The object's members by key, each read at most once; unknown keys are
// refused so that a misspelt key is not silently left out.
class Fields {
 public:
  Fields(const Value& object, const char* what, std::initializer_list<const char*> known) : object_(object) {
    if (object.kind != Value::Object) throw Failure{object.line, object.column, std::string(what) + ": Objekt erwartet"};
    for (const auto& m : object.members) {
      bool found = false;
      for (const char* k : known) found = found || m.first == k;
      if (!found) throw Failure{m.second.line, m.second.column, "unbekannter Schl\xFCssel \"" + m.first + "\""};
    }
  }
  const Value* find(const char* key) const {
    for (const auto& m : object_.members)
      if (m.first == key) return &m.second;
    return nullptr;
  }
  const Value& need(const char* key) const {
    if (const Value* v = find(key)) return *v;
    throw Failure{object_.line, object_.column, std::string("Schl\xFCssel \"") + key + "\" fehlt"};
  }
  void text(const char* key, std::string& out) const {
    if (const Value* v = find(key)) out = asText(*v, key);
  }
  void flag(const char* key, bool& out) const {
    if (const Value* v = find(key)) {
      if (v->kind != Value::Boolean) throw Failure{v->line, v->column, std::string(key) + ": true oder false erwartet"};
      out = v->boolean;
    }
  }
  void integer(const char* key, int32_t& out) const {
    if (const Value* v = find(key)) out = asInteger(*v, key);
  }
  static std::string asText(const Value& v, const char* key) {
    if (v.kind != Value::String) throw Failure{v.line, v.column, std::string(key) + ": Zeichenkette erwartet"};
    return v.text;
  }
  static int32_t asInteger(const Value& v, const char* key) {
    if (v.kind != Value::Number || !v.integral || v.number < INT32_MIN || v.number > INT32_MAX)
      throw Failure{v.line, v.column, std::string(key) + ": ganze Zahl (32 Bit) erwartet"};
    return static_cast<int32_t>(v.number);
  }
  static const Value& asArray(const Value& v, const char* key) {
    if (v.kind != Value::Array) throw Failure{v.line, v.column, std::string(key) + ": Liste erwartet"};
    return v;
  }

 private:
  const Value& object_;
};

void readNode(const Value& v, TreeNode& node, bool componentTree, int depth) {
  Fields f(v, "Knoten",
           {"text", "kind", "picture", "expanded", "valueName", "valueData", "component", "componentId",
            "componentName", "typeIndex", "value", "children"});
  node.text = Fields::asText(f.need("text"), "text");
  f.integer("picture", node.picture);
  node.selectedPicture = selectedPictureFor(node.picture);
  f.flag("expanded", node.expanded);
  if (componentTree && depth == 1) {
    const Value& k = f.need("component");
    Fields c(k, "component", {"id", "flags", "path", "description"});
    node.komp = std::make_unique<KompRec>();
    c.integer("id", node.komp->id);
    c.integer("flags", node.komp->flags);
    c.text("path", node.komp->path);
    c.text("description", node.komp->description);
  } else if (!componentTree && depth > 0) {
    f.integer("componentId", node.value);
  } else {
    f.integer(!componentTree ? "typeIndex" : "value", node.value);
  }
  if (const Value* children = f.find("children")) {
    Fields::asArray(*children, "children");
    if (!children->items.empty() && depth + 1 > kProjectTreeMaxDepth)
      throw Failure{children->line, children->column, "children: Baum zu tief"};
    for (const Value& c : children->items) {
      TreeNode& child = node.addChild(std::string(), 0);
      readNode(c, child, componentTree, depth + 1);
    }
  }
}

void readTree(const Value& v, Tree& tree, bool componentTree, const char* key) {
  Fields::asArray(v, key);
  tree.clear();
  for (const Value& r : v.items) readNode(r, tree.addRoot(std::string(), 0), componentTree, 0);
}

// The bytes of a type description's 256 that its text does not show: from
// the end of the text (its terminator) to the last byte that is not zero.
size_t descriptionTextEnd(const ProjectDocument& p, int type) { return p.typeDescription(type).size(); }

std::string descriptionRest(const ProjectDocument& p, int type) {
  const uint8_t* bytes = p.TypeDescriptions.data() + static_cast<size_t>(type) * kTypeDescriptionSize;
  size_t end = descriptionTextEnd(p, type);
  size_t last = kTypeDescriptionSize;
  while (last > end && !bytes[last - 1]) --last;
  std::string out;
  static const char kDigits[] = "0123456789abcdef";
  for (size_t i = end; i < last; ++i) {
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 15];
  }
  return out;
}

void readProjectValue(const Value& root, ProjectDocument& p) {
  Fields f(root, "Projekt",
           {"outputFile", "applicationName", "versionMajor", "versionMinor", "programFile", "readMeFile",
            "startMenuFolder", "company", "targetDirectory", "longFileNamesRequired", "installSetup",
            "installUninstaller", "titleIsText", "title", "titleAlternate", "titleHeight", "logo", "logoPosition",
            "titleAlignment", "titleAnimated", "logoAnimated", "fullScreen", "sizeableWindow", "colourScheme",
            "nextComponentId", "typeMinimalExists", "typeBenutzerExists", "typeNetzwerkExists", "defaultType",
            "typeDescriptions", "typeDescriptionRest", "componentTree", "installationTypeTree", "sourcePath",
            "shortcuts", "dialogSequence", "reserved34", "welcomeBitmap", "licenceTextFile", "infoTextFile",
            "userInfoNameAndCompany", "reserved39", "firstAdvertisementBitmap", "rebootDialog", "language",
            "extensionDll"});
  p.ClearTrees(false, NoLanguageTexts());
  f.text("outputFile", p.EditDefGen);
  f.text("applicationName", p.EditApp);
  f.text("versionMajor", p.EditVer);
  f.text("versionMinor", p.EditVer2);
  f.text("programFile", p.EditExe);
  f.text("readMeFile", p.EditReadMe);
  f.text("startMenuFolder", p.EditFolder);
  f.text("company", p.EditCompany);
  f.text("targetDirectory", p.EditTargetDir);
  f.flag("longFileNamesRequired", p.CheckBoxLN);
  f.flag("installSetup", p.CheckBoxInst);
  f.flag("installUninstaller", p.CheckBoxDeinst);
  f.flag("titleIsText", p.RadioTitleText);
  f.text("title", p.EditTitleBmp);
  f.text("titleAlternate", p.TitleAlternate);
  f.text("titleHeight", p.EditTitleSz);
  f.text("logo", p.EditLogo);
  f.integer("logoPosition", p.ComboLogoAlign);
  if (const Value* v = f.find("titleAlignment")) {
    std::string a = Fields::asText(*v, "titleAlignment");
    if (a == "left") p.TitleAlign = TitleAlignment::Left;
    else if (a == "centred") p.TitleAlign = TitleAlignment::Centred;
    else if (a == "right") p.TitleAlign = TitleAlignment::Right;
    else throw Failure{v->line, v->column, "titleAlignment: \"left\", \"centred\" oder \"right\" erwartet"};
  }
  f.flag("titleAnimated", p.CheckBox_AnimT);
  f.flag("logoAnimated", p.CheckBox_AnimL);
  f.flag("fullScreen", p.CheckBoxFullScreen);
  f.flag("sizeableWindow", p.CheckBoxSizeable);
  f.integer("colourScheme", p.ComboColor);
  f.integer("nextComponentId", p.NextComponentId);
  f.flag("typeMinimalExists", p.CheckMinInst);
  f.flag("typeBenutzerExists", p.CheckUserInst);
  f.flag("typeNetzwerkExists", p.CheckSystemInst);
  f.integer("defaultType", p.DefaultType);
  if (p.DefaultType < kTypeNormal || p.DefaultType > kTypeBenutzer) {
    const Value& v = f.need("defaultType");
    throw Failure{v.line, v.column, "defaultType: 0 bis 2 erwartet"};
  }
  p.TypeDescriptions.fill(0);
  if (const Value* v = f.find("typeDescriptions")) {
    Fields::asArray(*v, "typeDescriptions");
    if (v->items.size() != kTypeCount) throw Failure{v->line, v->column, "typeDescriptions: vier Texte erwartet"};
    for (int i = 0; i < kTypeCount; ++i) {
      std::string text = Fields::asText(v->items[static_cast<size_t>(i)], "typeDescriptions");
      const Value& item = v->items[static_cast<size_t>(i)];
      if (text.size() > kTypeDescriptionMax || text.find('\0') != std::string::npos)
        throw Failure{item.line, item.column, "typeDescriptions: h\xF6" "chstens 255 Zeichen ohne Nullzeichen"};
      std::copy(text.begin(), text.end(), p.TypeDescriptions.begin() + i * static_cast<int>(kTypeDescriptionSize));
    }
  }
  if (const Value* v = f.find("typeDescriptionRest")) {
    Fields::asArray(*v, "typeDescriptionRest");
    if (v->items.size() != kTypeCount) throw Failure{v->line, v->column, "typeDescriptionRest: vier Eintr\xE4ge erwartet"};
    for (int i = 0; i < kTypeCount; ++i) {
      const Value& item = v->items[static_cast<size_t>(i)];
      std::string hex = Fields::asText(item, "typeDescriptionRest");
      size_t begin = static_cast<size_t>(i) * kTypeDescriptionSize;
      size_t end = begin + descriptionTextEnd(p, i);
      if (hex.size() % 2 || end + hex.size() / 2 > begin + kTypeDescriptionSize)
        throw Failure{item.line, item.column, "typeDescriptionRest: zu lang oder ungerade Zahl von Hexziffern"};
      for (size_t k = 0; k < hex.size(); k += 2) {
        auto digit = [&](char c) -> int {
          if (c >= '0' && c <= '9') return c - '0';
          if (c >= 'a' && c <= 'f') return c - 'a' + 10;
          if (c >= 'A' && c <= 'F') return c - 'A' + 10;
          throw Failure{item.line, item.column, "typeDescriptionRest: Hexziffern erwartet"};
        };
        p.TypeDescriptions[end + k / 2] = static_cast<uint8_t>(digit(hex[k]) << 4 | digit(hex[k + 1]));
      }
    }
  }
  if (const Value* v = f.find("componentTree")) readTree(*v, p.TVKomp, true, "componentTree");
  // The roots always carry the builder's own texts, as a loaded file's do.
  if (p.TVKomp.roots.empty()) p.TVKomp.addRoot(kFileComponentsRoot, kPictureFileComponent);
  if (p.TVKomp.roots.size() < 2) p.TVKomp.addRoot(kRegistryComponentsRoot, kPictureRegistry);
  p.TVKomp.roots[0]->text = kFileComponentsRoot;
  p.TVKomp.roots[1]->text = kRegistryComponentsRoot;
  if (const Value* v = f.find("installationTypeTree")) readTree(*v, p.TVITypes, false, "installationTypeTree");
  if (p.TVITypes.roots.empty()) p.TVITypes.addRoot(kTypeNames[kTypeNormal], 0).value = kTypeNormal;
  p.resolveTypeReferences();
  f.text("sourcePath", p.DefSrcPathValue);

  if (const Value* v = f.find("shortcuts")) {
    Fields::asArray(*v, "shortcuts");
    for (const Value& item : v->items) {
      Fields s(item, "shortcuts",
               {"caption", "subFolder", "parameters", "workDir", "iconFile", "appPathFile", "appPathDir", "iconIndex",
                "componentIndex", "fileIndex", "targetComponent", "targetFile", "checked"});
      ShortcutEntry entry;
      TCmdObject& o = entry.object;
      s.text("caption", entry.caption);
      s.text("subFolder", o.subFolder);
      s.text("parameters", o.parameters);
      s.text("workDir", o.workDir);
      s.text("iconFile", o.iconFile);
      s.flag("appPathFile", o.appPathFile);
      s.flag("appPathDir", o.appPathDir);
      s.integer("iconIndex", o.iconIndex);
      s.integer("componentIndex", o.storedComponentIndex);
      s.integer("fileIndex", o.storedFileIndex);
      s.flag("checked", entry.checked);
      o.target = p.fileEntryAt(o.storedComponentIndex, o.storedFileIndex);
      p.CheckListBox2.push_back(std::move(entry));
    }
  }
  p.CheckListBox1.fill(false);
  if (const Value* v = f.find("dialogSequence")) {
    Fields::asArray(*v, "dialogSequence");
    if (v->items.size() != kDialogSequenceEntries)
      throw Failure{v->line, v->column, "dialogSequence: 15 Eintr\xE4ge erwartet"};
    for (int i = 0; i < kDialogSequenceEntries; ++i) {
      Fields d(v->items[static_cast<size_t>(i)], "dialogSequence", {"entry", "checked"});
      bool checked = false;
      d.flag("checked", checked);
      p.CheckListBox1[static_cast<size_t>(i)] = checked;
    }
  }
  f.text("reserved34", p.Reserved34);
  f.text("welcomeBitmap", p.EditWelBmp);
  f.text("licenceTextFile", p.EditLizenz);
  f.text("infoTextFile", p.EditInfoTxt);
  f.flag("userInfoNameAndCompany", p.CheckName);
  f.flag("reserved39", p.Reserved39);
  f.text("firstAdvertisementBitmap", p.EditAdvert);
  if (const Value* v = f.find("rebootDialog")) {
    std::string r = Fields::asText(*v, "rebootDialog");
    if (r == "Immer") p.RadioForceReboot = true;
    else if (r == "Wenn notwendig") p.RadioForceReboot = false;
    else throw Failure{v->line, v->column, "rebootDialog: \"Immer\" oder \"Wenn notwendig\" erwartet"};
  }
  f.text("language", p.ComboLanguage);
  f.text("extensionDll", p.EditCustomDll);
}

}  // namespace

std::string JsonError::text() const {
  return "Zeile " + std::to_string(line) + ", Spalte " + std::to_string(column) + ": " + what;
}

std::string typeDescriptionRestHex(const ProjectDocument& project, int type) { return descriptionRest(project, type); }

bool projectFromJson(const std::string& utf8, ProjectDocument& project, JsonError& error) {
  try {
    Parser parser(utf8);
    Value root = parser.document();
    ProjectDocument fresh;
    readProjectValue(root, fresh);
    fresh.UpdateGuard = false;
    fresh.Modified = false;
    project = std::move(fresh);
    return true;
  } catch (const Failure& f) {
    error.line = f.line;
    error.column = f.column;
    error.what = f.what;
    return false;
  }
}

}  // namespace tw
