// Rules of the Dialoge page and of the dialog preview that are arithmetic or
// text: walking the dialog sequence, the application name, the size texts,
// the rows of the setup type dialog and the summary text.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tw {

// The entry the preview's "Weiter" (+1) or "Zurück" (-1) selects: from
// `selected`, step by `direction` until a checked entry or the first or last
// entry is reached; when the entry reached is not checked, the entry next to
// the selected one in that direction. -1 when that lies outside the list.
int nextDialogEntry(const std::vector<bool>& checked, int selected, int direction);

// "%1" in the preview's texts: the application name, "AppName" when empty.
std::string previewAppName(const std::string& name);

// Tenths of megabytes ("0,5 MB", "12,3 MB"): bytes / 104857, rounded up for
// needed space and down for free space.
std::string previewMegabytesText(uint64_t bytes, bool roundUp);

// A component row's size: kilobytes, rounded up, followed by " KB".
std::string previewKilobytesText(uint64_t bytes);

// Tops of the rows of `present` installation types (1 to 4) between the
// first row's top and the fourth row's top: one type at the half, two at
// the fifths 1 and 4, three at the tenths 1, 5 and 9, four where the
// template has them.
std::vector<int> previewTypeRowTops(int present, int first, int last);

// The summary dialog's text from the language module's headings 512, 514,
// 515 and 516, at most 512 characters.
std::string previewSummaryText(const std::string& user, const std::string& type, const std::string& dir,
                               const std::string& folder);

// The progress preview: a 100 ms timer over 20 ticks, then the next dialog.
constexpr int kProgressTickMs = 100;
constexpr int kProgressTicks = 20;
constexpr int kProgressRange = 200;

// The custom-setup dialog's caption inside a component: the caption up to
// its "(" (or whole), then "(" + name (at most 48 characters) + ")"; an
// empty name gives the caption without the part from "(" on.
std::string previewBrowseCaption(const std::string& caption, const std::string& entered);

}  // namespace tw
