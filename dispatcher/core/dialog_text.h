// The format text of the progress dialog's message, from its template.
#pragma once

namespace tw::dispatcher {

// For the application name Tamblewright (any case) the template's product
// mark gives way to "Setup": its 8th to 13th characters become "Setup "
// and the format starts at the 8th. Any other name, or a template too
// short to hold the mark, keeps the whole template. Returns the format,
// which lies inside templ (templ may be changed).
char* dialogTextFormat(char* templ, const char* appName);

}  // namespace tw::dispatcher
