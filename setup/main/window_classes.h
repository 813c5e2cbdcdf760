// The window classes the page templates use: "BEVEL" (the separator line)
// and "ZETU_LISTBOX" (a list box that tells clicks from keys).
#pragma once
#include <windows.h>

namespace tw {

bool registerBevelClass(HINSTANCE instance);
bool registerComponentListClass(HINSTANCE instance);

}  // namespace tw
