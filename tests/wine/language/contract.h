// What Setup, the builder and the dispatcher look up in a language module by number: templates, controls, strings, pictures.
#pragma once

struct DialogContract {
  int id;
  bool wizardPage;     // side picture, separator, Back, Next and Cancel
  int cancelId;        // 2, or 3 on the component page
  const int* controls; // further controls, ended by 0
};

namespace contract {

constexpr int kNone[] = {0};
constexpr int kCancelBox[] = {1, 2, 710, 0};
constexpr int kReadOnlyBox[] = {6, 7, 100, 101, 0};
constexpr int kDiskFullBox[] = {710, 0};
constexpr int kPrepareBox[] = {701, 1500, 0};
constexpr int kTextPage[] = {710, 0};
constexpr int kLicence[] = {710, 301, 25, 0};
constexpr int kInfo[] = {710, 301, 0};
constexpr int kUser[] = {301, 302, 0};
constexpr int kDestination[] = {710, 715, 196, 0};
constexpr int kType[] = {715, 196, 501, 502, 503, 504, 701, 702, 703, 704, 0};
constexpr int kComponents[] = {401, 13, 20, 712, 716, 717, 720, 0};
constexpr int kFolder[] = {30, 31, 301, 302, 303, 400, 401, 0};
constexpr int kSummary[] = {301, 0};
constexpr int kProgress[] = {1400, 1425, 1450, 1500, 0};
constexpr int kRestart[] = {512, 513, 0};
constexpr int kFinish[] = {710, 711, 521, 522, 0};
constexpr int kMaintenance[] = {1, 2, 710, 521, 522, 1200, 0};
constexpr int kUninstall[] = {1, 700, 701, 702, 721, 722, 723, 724, 1500, 0};

constexpr DialogContract kDialogs[] = {
  {100, false, 2, kCancelBox},   {101, false, 2, kReadOnlyBox}, {102, false, 2, kDiskFullBox},
  {150, false, 2, kPrepareBox},  {200, true, 2, kNone},         {201, true, 2, kTextPage},
  {202, true, 2, kLicence},      {203, true, 2, kInfo},         {204, true, 2, kUser},
  {205, true, 2, kDestination},  {206, true, 2, kType},         {207, true, 3, kComponents},
  {208, true, 2, kFolder},       {209, true, 2, kSummary},      {210, true, 2, kProgress},
  {211, true, 2, kNone},         {212, true, 2, kRestart},      {213, true, 2, kFinish},
  {214, false, 2, kMaintenance}, {215, false, 2, kUninstall},
};

// Strings 513 and 519 have no use and are not part of the contract.
constexpr int kStrings[] = {200, 201, 202, 203, 512, 514, 515, 516, 517, 518, 520, 521, 522,
                            523, 524, 525, 526, 1024, 1025, 1026, 1027, 1028, 1029, 1030,
                            1031, 1032, 1033, 1040, 1041, 10000};

constexpr int kBitmaps[] = {100, 101, 102, 104};
constexpr int kIconGroups[] = {2, 3};
constexpr int kVersions[] = {2, 3};

}  // namespace contract
