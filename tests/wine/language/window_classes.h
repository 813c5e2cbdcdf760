// The window classes that the language modules' templates name, registered the way Setup registers them.
#pragma once
#include <windows.h>

// "BEVEL" (separator), "ZETU_LISTBOX" (list box that marks mouse clicks) and
// "SETUP_DLG" (the dispatcher's box). Returns false when one fails.
bool registerTemplateClasses(HINSTANCE instance);
