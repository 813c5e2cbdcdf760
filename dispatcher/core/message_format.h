// Inserting a path into a message text that comes from bound resources.
#pragma once

#include <cstddef>

namespace tw::dispatcher {

// Copies format to out with its first "%s" replaced by text and each "%%"
// by "%"; any other "%" is kept as written. The format comes from a
// language module, so it is never handed to a printf-style call that
// would read arguments it has not got. The result is cut to fit out.
void insertIntoMessage(const char* format, const char* text, char* out,
                       std::size_t capacity);

}  // namespace tw::dispatcher
