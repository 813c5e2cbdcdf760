// Runs the runtime's registration run on a package's resource DLL with the
// page choices given on the command line, and reads links back, for the
// Wine tests:
//   registration_probe install DLL OUT key=value...   (dir, type, mode, folder,
//       quick, desktop, user, company, shot: seconds to keep the page up)
//   registration_probe remove DLL OUT key=value...
//   registration_probe link LINK.lnk OUT
//   registration_probe value HKLM|HKCU|HKCR OUT KEY NAME...   ("-" the unnamed value)
// OUT gets lines "name=value"; a value as "NAME=type,size,data" with the
// data in hexadecimal ("-" when the value is missing).
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "setup/main/profile_resources.h"
#include "setup/registration/registration_run.h"
#include "setup/removal/removal.h"
#include "setup/main/runtime_messages.h"
#include "setup/registration/shell_links.h"
#include "setup/main/runtime_state.h"
#include "setup/main/system_folders.h"
#include "setup/main/window_classes.h"

namespace tw {

RunState& runState() {
  static RunState state;
  return state;
}

const ResourceSource& runProfile() {
  static ModuleResources profile(runState().resources);
  return profile;
}

// The probe has no background window behind its pages.
void setBackgroundPage(HWND) {}

}  // namespace tw

namespace {

using Options = std::map<std::string, std::string>;

std::string option(const Options& o, const char* name, const char* fallback = "") {
  auto it = o.find(name);
  return it == o.end() ? fallback : it->second;
}

INT_PTR CALLBACK quietPage(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

// Keeps a page on screen for the test's screenshot.
void showFor(HWND page, int seconds, FILE* out) {
  if (!page || seconds <= 0) return;
  std::fprintf(out, "shown=1\n");
  std::fflush(out);
  DWORD until = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
  MSG msg;
  while (GetTickCount() < until) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(20);
  }
}

void prepare(const Options& o) {
  tw::RunState& s = tw::runState();
  s.instance = GetModuleHandleA(nullptr);
  tw::readSystemFolders(s);
  s.installDir = option(o, "dir");
  s.applicationName.clear();
  tw::readSettingString(tw::runProfile(), 0, s.applicationName);
  s.components = tw::readComponents(tw::runProfile());
  s.table = tw::buildComponentTable(s.components);
  s.selectedType = std::atoi(option(o, "type", "501").c_str());
  s.programFolder = option(o, "folder");
  s.quickEntry = option(o, "quick") == "1";
  s.desktop = option(o, "desktop") == "1";
  s.pageUserName = option(o, "user");
  s.pageCompany = option(o, "company");
  tw::registerBevelClass(s.instance);
  tw::registerComponentListClass(s.instance);
}

bool visible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }

int readLink(const char* path, FILE* out) {
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))))
    return 3;
  IPersistFile* file = nullptr;
  wchar_t wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH);
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) ||
      FAILED(file->Load(wide, STGM_READ)))
    return 4;
  char text[MAX_PATH * 2];
  int index = 0;
  link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
  std::fprintf(out, "target=%s\n", text);
  link->GetArguments(text, sizeof text);
  std::fprintf(out, "arguments=%s\n", text);
  link->GetWorkingDirectory(text, sizeof text);
  std::fprintf(out, "workdir=%s\n", text);
  link->GetIconLocation(text, sizeof text, &index);
  std::fprintf(out, "icon=%s,%d\n", text, index);
  link->GetDescription(text, sizeof text);
  std::fprintf(out, "description=%s\n", text);
  file->Release();
  link->Release();
  return 0;
}

int readValues(const std::string& rootName, const std::string& path, char** names, int count, FILE* out) {
  HKEY root = rootName == "HKLM" ? HKEY_LOCAL_MACHINE : rootName == "HKCU" ? HKEY_CURRENT_USER : HKEY_CLASSES_ROOT;
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    std::fprintf(out, "key=missing\n");
    return 0;
  }
  std::fprintf(out, "key=present\n");
  for (int i = 0; i < count; ++i) {
    std::string name = names[i];
    unsigned char data[2048];
    DWORD type = 0, size = sizeof data;
    if (RegQueryValueExA(key, name == "-" ? nullptr : name.c_str(), nullptr, &type, data, &size) != ERROR_SUCCESS) {
      std::fprintf(out, "%s=-\n", name.c_str());
      continue;
    }
    std::fprintf(out, "%s=%lu,%lu,", name.c_str(), static_cast<unsigned long>(type), static_cast<unsigned long>(size));
    for (DWORD b = 0; b < size; ++b) std::fprintf(out, "%02X", data[b]);
    std::fprintf(out, "\n");
  }
  RegCloseKey(key);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  std::string command = argv[1];
  FILE* out = std::fopen(argv[3], "w");
  if (!out) return 2;
  CoInitialize(nullptr);
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  if (command == "value" && argc >= 5) {
    int rc = readValues(argv[2], argv[4], argv + 5, argc - 5, out);
    std::fclose(out);
    return rc;
  }
  if (command == "link") {
    int rc = readLink(argv[2], out);
    std::fclose(out);
    return rc;
  }
  Options o;
  for (int i = 4; i < argc; ++i) {
    std::string a = argv[i];
    size_t eq = a.find('=');
    if (eq != std::string::npos) o[a.substr(0, eq)] = a.substr(eq + 1);
  }
  tw::RunState& s = tw::runState();
  s.resources = LoadLibraryExA(argv[2], nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!s.resources) return 3;
  prepare(o);
  int mode = std::atoi(option(o, "mode", "3").c_str());
  int seconds = std::atoi(option(o, "shot", "0").c_str());
  if (command == "install") {
    // The progress page (step 10) as the sequence shows it.
    HWND page = CreateDialogParamA(s.resources, MAKEINTRESOURCEA(210), nullptr, quietPage, 0);
    if (page) ShowWindow(page, SW_SHOW);
    s.progressDialog = page;
    tw::runRegistration(tw::RegistrationDirection::Install, mode);
    if (page) {
      char text[256] = "";
      GetDlgItemTextA(page, 1450, text, sizeof text);
      std::fprintf(out, "progressText=%s\n", text);
      std::fprintf(out, "progressBar=%d\n",
                   static_cast<int>(SendDlgItemMessageA(page, 1500, PBM_GETPOS, 0, 0)));
    }
    showFor(page, seconds, out);
  } else if (command == "remove") {
    // The uninstall dialog (215) with its result texts hidden and Ok off.
    HWND dialog = CreateDialogParamA(s.resources, MAKEINTRESOURCEA(215), nullptr, quietPage, 0);
    if (dialog) {
      ShowWindow(GetDlgItem(dialog, 701), SW_HIDE);
      ShowWindow(GetDlgItem(dialog, 702), SW_HIDE);
      EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
      tw::formatWithName(dialog, 0);
      tw::formatWithName(dialog, 700);
      ShowWindow(dialog, SW_SHOW);
    }
    tw::removalProgress().dialog = dialog;
    if (option(o, "incomplete") == "1") tw::removalProgress().notAllRemoved = true;
    tw::runRegistration(tw::RegistrationDirection::Remove, mode);
    if (dialog) {
      std::fprintf(out, "text701=%d\ntext702=%d\nokEnabled=%d\n", visible(dialog, 701), visible(dialog, 702),
                   IsWindowEnabled(GetDlgItem(dialog, IDOK)) ? 1 : 0);
    }
    showFor(dialog, seconds, out);
  } else {
    return 2;
  }
  std::fprintf(out, "record=%d\nfolder=%s\nquick=%d\ndesktop=%d\n", tw::readInstallRecord(true),
               s.programFolder.c_str(), s.quickEntry ? 1 : 0, s.desktop ? 1 : 0);
  std::fprintf(out, "programs=%s\ndesktopFolder=%s\n", tw::shellFolderPath("Programs", true).c_str(),
               tw::shellFolderPath("Desktop", true).c_str());
  std::fprintf(out, "done=1\n");
  std::fclose(out);
  return 0;
}
