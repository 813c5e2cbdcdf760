// TMultiEdit: the builder's multi-line edit for descriptions. It holds a
// text, reports whether the user changed it, can be read-only, and in
// single-line use takes no line breaks (Enter does not add a line).
#pragma once
#include <windows.h>

#include <string>

namespace tw {

// Makes an ES_MULTILINE edit a TMultiEdit.
void makeMultiEdit(HWND edit, bool singleLine);
void multiEditSetText(HWND edit, const std::string& text);  // clears the mark
std::string multiEditText(HWND edit);
bool multiEditModified(HWND edit);
// The text, and the modified mark cleared.
std::string multiEditTake(HWND edit);
void multiEditSetReadOnly(HWND edit, bool readOnly);

}  // namespace tw
