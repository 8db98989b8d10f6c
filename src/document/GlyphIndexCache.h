#pragma once

namespace morvane::document {

// Qt's PDF writer asks FreeType for the glyph of every code point of the
// Basic Multilingual Plane for each font of each file it writes (to map
// glyphs back to text), which was a third of the work of writing a small
// PDF. The program answers FreeType's character lookups from a table per
// face and character map, filled on first use; the answers are FreeType's
// own. True when the program's lookup is the one the libraries call.
bool glyphIndexCacheInstalled();

} // namespace morvane::document
