// Writing a string element's text into the buffer the host gave it, never past the element's
// own number of characters and the terminator.
#pragma once

#include "frame/records.h"

// Copies `text`, cut to the element's character count; does nothing while the host has given
// no buffer.
void element_set_text(ElementHeader* element, const char* text);
// The element's string record (the element header is its first member).
inline StringElement* as_string(ElementHeader* e) { return reinterpret_cast<StringElement*>(e); }
