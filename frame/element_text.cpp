// Bounded text output into a string element's host-owned buffer.
#include "frame/element_text.h"

void element_set_text(ElementHeader* element, const char* text) {
    StringElement* s = as_string(element);
    if (!s->text) return;
    int n = 0;
    while (n < s->chars && text[n]) {
        s->text[n] = text[n];
        ++n;
    }
    s->text[n] = '\0';
}
