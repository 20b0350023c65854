// Reading the font from bitmap font files with FreeType: how the glyph table
// (font_table.h) is made on the build machine, by tools/font_table and by the
// tests that check the committed table. The program itself never reads font
// files, and its library (karido_text) does not link FreeType; this one
// (karido_font_files) is built only where FreeType is, in the Linux build.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/font.h"

namespace platform {

// A font file's bytes, with a name for error messages.
struct FontFile {
    const char* name;
    const uint8_t* data;
    size_t size;
};

// Builds a font from a half-width (JIS X 0201) and a full-width (JIS X 0208)
// 12-pixel bitmap font file in any format FreeType reads (gzip-compressed PCF
// included). Returns null, after one line on stderr naming the file and the
// reason, when either cannot be read or has no 12-pixel strike.
// The bytes are only read during the call. Release the font with FontDestroy.
Font* FontCreateFromFiles(const FontFile& halfWidth, const FontFile& fullWidth);

}  // namespace platform
