// The C++ library declares its string classes as instantiated in its own
// binary, which is built with exceptions and would bring their runtime. The
// programs built without exceptions instantiate them here instead, so that
// a length or allocation fault ends in lean_cxx.cpp's handlers.
#include <string>

template class std::basic_string<char>;
template class std::basic_string<wchar_t>;
template std::string std::operator+(const char*, const std::string&);
template std::string std::operator+(char, const std::string&);
template std::wstring std::operator+(const wchar_t*, const std::wstring&);
template std::wstring std::operator+(wchar_t, const std::wstring&);
