// Writes a large project for the build benchmark: FILES source files of
// mixed kinds (text, random, sparse, zeros) adding up to MEGABYTES, spread
// over twenty file components.
//   make-bench-project FOLDER FILES MEGABYTES
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "builder/project/project_io.h"
#include "common/std_file_system.h"
#include "examples/project_building.h"

namespace {

std::vector<uint8_t> content(int kind, size_t size, std::mt19937& rng) {
  std::vector<uint8_t> out(size);
  static const char* words[] = {"Notiz ", "Liste ", "Datei ", "Fenster ", "Eintrag ", "Wert ", "\r\n"};
  switch (kind) {
    case 0:  // text
      for (size_t i = 0; i < size;) {
        const char* w = words[rng() % 7];
        for (; *w && i < size; ++w) out[i++] = static_cast<uint8_t>(*w);
      }
      break;
    case 1:  // random: incompressible
      for (auto& b : out) b = static_cast<uint8_t>(rng());
      break;
    case 2:  // sparse records
      for (size_t i = 0; i < size; i += 64) out[i] = static_cast<uint8_t>(rng());
      break;
    default:  // zeros
      break;
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: make-bench-project FOLDER FILES MEGABYTES\n");
    return 2;
  }
  std::filesystem::path folder = argv[1];
  int files = std::atoi(argv[2]);
  double megabytes = std::atof(argv[3]);
  constexpr int kComponents = 20;
  std::mt19937 rng(20261208);
  size_t average = static_cast<size_t>(megabytes * 1024 * 1024 / (files > 0 ? files : 1));

  tw::NoLanguageTexts none;
  tw::ProjectDocument p;
  p.ResetProject(none);
  p.EditApp = "Lasttest";
  p.EditVer = "1";
  p.EditVer2 = "0";
  p.EditCompany = "Beispiel Software GmbH";
  p.ComboLanguage = "Deutsch";
  for (int e : {2, 6, 7, 10, 11}) p.CheckListBox1[e] = true;
  tw::TreeNode& root = *p.fileComponentsRoot();
  root.children.clear();
  tw::TreeNode& normal = *p.typeRoot(tw::kTypeNormal);
  std::vector<tw::TreeNode*> components;
  for (int c = 0; c < kComponents; ++c) {
    std::string name = "Teil " + std::to_string(c + 1);
    components.push_back(&tw::examples::addComponent(p, root, name, tw::kPictureFileComponent, 0,
                                                     "<InstallDir>\\teil" + std::to_string(c + 1), ""));
    tw::examples::addReference(normal, *components.back());
  }
  for (int i = 0; i < files; ++i) {
    int c = i % kComponents, kind = i % 10 < 4 ? 0 : i % 10 < 7 ? 1 : i % 10 < 9 ? 2 : 3;
    std::string rel = "files\\teil" + std::to_string(c + 1) + "\\datei" + std::to_string(i) + ".dat";
    std::filesystem::path path = folder / "files" / ("teil" + std::to_string(c + 1)) / ("datei" + std::to_string(i) + ".dat");
    std::filesystem::create_directories(path.parent_path());
    size_t size = average / 2 + rng() % (average + 1);
    std::vector<uint8_t> bytes = content(kind, size, rng);
    FILE* f = std::fopen(path.string().c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) return 1;
    std::fclose(f);
    tw::examples::addFile(*components[c], "[DefSrcPath]\\" + rel);
  }
  p.DefSrcPathValue.clear();
  tw::StdFileSystem fs;
  return tw::writeProjectFile(fs, (folder / "bench.tbw").string(), p).ok() ? 0 : 1;
}
