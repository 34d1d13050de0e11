#pragma once
// A drawing as an SVG 1.1 document, for browsers and image tools.
#include <string>

#include "core/drawing.h"

namespace varidac {

// A standalone UTF-8 document. Text that is not valid UTF-8, and control
// characters, come out as "?", so the document is always well-formed.
std::string svgDocument(const Drawing& drawing);

// "#rrggbb": a colour as SVG and CSS write it.
std::string hexColour(Rgb rgb);

}  // namespace varidac
