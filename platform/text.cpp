#include "platform/text.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <climits>
#include <cstddef>
#include <cstring>

#include "platform/cp932.h"
#include "platform/cpu.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace platform {

namespace {

constexpr int TAB_STOP = 8 * FONT_HALF_WIDTH;

// Byte masks for 1-bit glyph rows: entry b of a table of n-byte words has
// byte i (in memory order) 0xFF when bit n-1-i of b is set, so the leftmost
// pixel is the highest bit, as in the glyph table.
template <typename Word, int N>
constexpr std::array<Word, (1u << N)> MakeByteMasks() {
    std::array<Word, (1u << N)> table{};
    for (unsigned bits = 0; bits < (1u << N); ++bits) {
        Word word = 0;
        for (int i = 0; i < N; ++i) {
            if ((bits >> (N - 1 - i)) & 1u) {
                const int byte = std::endian::native == std::endian::little ? i : N - 1 - i;
                word = static_cast<Word>(word | (Word{0xFF} << (8 * byte)));
            }
        }
        table[bits] = word;
    }
    return table;
}

constexpr auto MASKS_8 = MakeByteMasks<uint64_t, 8>();
constexpr auto MASKS_4 = MakeByteMasks<uint32_t, 4>();
constexpr auto MASKS_2 = MakeByteMasks<uint16_t, 2>();

// Sets the bytes of dst that mask selects to the colour's bytes.
template <typename Word>
inline void Blend(uint8_t* dst, Word mask, Word colour) {
    Word word;
    std::memcpy(&word, dst, sizeof word);
    word = static_cast<Word>((word & static_cast<Word>(~mask)) | (colour & mask));
    std::memcpy(dst, &word, sizeof word);
}

// Where drawing goes: the pixel buffer, the clip rectangle inside it (never
// outside the buffer; possibly empty) and the colour repeated into words.
struct Canvas {
    uint8_t* pixels;
    ptrdiff_t stride;
    int clipLeft;
    int clipTop;
    int clipRight;
    int clipBottom;
    uint8_t colour;
    uint64_t colour8;
    uint32_t colour4;
    uint16_t colour2;
};

Canvas MakeCanvas(const TextTarget& target, const TextRect& clip, uint8_t colour) {
    Canvas canvas{};
    canvas.pixels = target.pixels;
    canvas.stride = target.stride;
    canvas.clipLeft = std::max(clip.left, 0);
    canvas.clipTop = std::max(clip.top, 0);
    canvas.clipRight = std::min(clip.right, target.width);
    canvas.clipBottom = std::min(clip.bottom, target.height);
    canvas.colour = colour;
    canvas.colour8 = 0x0101010101010101ull * colour;
    canvas.colour4 = 0x01010101u * colour;
    canvas.colour2 = static_cast<uint16_t>(0x0101u * colour);
    return canvas;
}

bool TargetUsable(const TextTarget* target) {
    return target != nullptr && target->pixels != nullptr && target->width >= 0 &&
           target->height >= 0 && target->stride >= target->width;
}

bool TextUsable(const char* text, int length) {
    return length >= -1 && (text != nullptr || length == 0);
}

size_t TextLength(const char* text, int length) {
    return length == -1 ? std::strlen(text) : static_cast<size_t>(length);
}

// Writers of whole glyph rows, the cell's width inside the clip: each row's
// set pixels get the colour, the others stay as they are.
struct WordRows {
    // A few bytes at a time: read, merge through the row's byte mask, write.
    // The colours are copied first: the pixel stores could alias the canvas,
    // which would make the compiler load them again on every row.
    static void Draw(const Font& font, int slot, int firstRow, int endRow, int width,
                     uint8_t* dst, ptrdiff_t stride, const Canvas& canvas) {
        const uint16_t* rows = font.rows[slot];
        if (width == FONT_FULL_WIDTH) {
            const uint64_t colour8 = canvas.colour8;
            const uint32_t colour4 = canvas.colour4;
            for (int r = firstRow; r < endRow; ++r, dst += stride) {
                const unsigned mask = rows[r];
                Blend(dst, MASKS_8[mask >> 8], colour8);
                Blend(dst + 8, MASKS_4[(mask >> 4) & 0xF], colour4);
            }
        } else {
            const uint32_t colour4 = canvas.colour4;
            const uint16_t colour2 = canvas.colour2;
            for (int r = firstRow; r < endRow; ++r, dst += stride) {
                const unsigned mask = rows[r];
                Blend(dst, MASKS_4[mask >> 12], colour4);
                Blend(dst + 4, MASKS_2[(mask >> 10) & 0x3], colour2);
            }
        }
    }
};

#if defined(__x86_64__) || defined(__i386__)
#define KARIDO_MASKED_STORES __attribute__((target("avx512f,avx512bw,avx512vl")))
// One masked store a row: the row's bits, leftmost pixel first, are the
// store's byte mask, so the pixels are never read.
struct MaskedRows {
    KARIDO_MASKED_STORES static void Draw(const Font& font, int slot, int firstRow, int endRow,
                                          int, uint8_t* dst, ptrdiff_t stride,
                                          const Canvas& canvas) {
        const __m128i colour = _mm_set1_epi8(static_cast<char>(canvas.colour));
        const uint16_t* rows = font.leftFirst[slot];
        for (int r = firstRow; r < endRow; ++r, dst += stride) {
            _mm_mask_storeu_epi8(dst, static_cast<__mmask16>(rows[r]), colour);
        }
    }
};
#endif

// Draws the glyph of a slot with its cell's top-left corner at (x, y).
template <typename Rows>
[[gnu::always_inline]] inline void DrawGlyph(const Font& font, const Canvas& canvas, int64_t x,
                                             int64_t y, int slot) {
    const int width = FontSlotWidth(slot);
    if (x >= canvas.clipRight || x + width <= canvas.clipLeft) {
        return;
    }
    const uint16_t* rows = font.rows[slot];
    const int firstRow = static_cast<int>(std::max<int64_t>(font.inkTop[slot], canvas.clipTop - y));
    const int endRow =
        static_cast<int>(std::min<int64_t>(font.inkBottom[slot], canvas.clipBottom - y));
    if (firstRow >= endRow) {
        return;
    }
    uint8_t* rowStart = canvas.pixels + (y + firstRow) * canvas.stride;
    if (x >= canvas.clipLeft && x + width <= canvas.clipRight) {
        Rows::Draw(font, slot, firstRow, endRow, width, rowStart + x, canvas.stride, canvas);
        return;
    }
    // Cut by the left or right clip edge: set pixel by pixel inside it.
    const int firstColumn = static_cast<int>(std::max<int64_t>(0, canvas.clipLeft - x));
    const int endColumn = static_cast<int>(std::min<int64_t>(width, canvas.clipRight - x));
    const auto columns = static_cast<uint16_t>((0xFFFFu >> firstColumn) & ~(0xFFFFu >> endColumn));
    for (int r = firstRow; r < endRow; ++r, rowStart += canvas.stride) {
        auto mask = static_cast<uint16_t>(rows[r] & columns);
        while (mask != 0) {
            const int column = std::countl_zero(mask);
            rowStart[x + column] = canvas.colour;
            mask = static_cast<uint16_t>(mask & ~(0x8000u >> column));
        }
    }
}

// Draws text[begin, end) as one line with its top at y, the pen starting at
// x; tabs move to the next multiple of TAB_STOP from tabOrigin.
template <typename Rows>
[[gnu::always_inline]] inline void DrawLineWith(const Font& font, const Canvas& canvas, int64_t x,
                                                int64_t y, int64_t tabOrigin, const char* text,
                                                size_t begin, size_t end) {
    if (y >= canvas.clipBottom || y + FONT_CELL_HEIGHT <= canvas.clipTop ||
        canvas.clipLeft >= canvas.clipRight) {
        return;
    }
    int64_t pen = x;
    size_t pos = begin;
    while (pos < end && pen < canvas.clipRight) {
        const Cp932Char ch = Cp932Read(text, end, pos);
        if (ch.size == 0) {
            break;
        }
        pos += static_cast<size_t>(ch.size);
        if (ch.code == '\t' && tabOrigin != INT64_MIN) {
            pen = tabOrigin + ((pen - tabOrigin) / TAB_STOP + 1) * TAB_STOP;
            continue;
        }
        const int slot = FontGlyphSlot(ch.code);
        DrawGlyph<Rows>(font, canvas, pen, y, slot);
        pen += FontSlotWidth(slot);
    }
}

using LineDrawer = void (*)(const Font&, const Canvas&, int64_t, int64_t, int64_t, const char*,
                            size_t, size_t);

void DrawLineWords(const Font& font, const Canvas& canvas, int64_t x, int64_t y,
                   int64_t tabOrigin, const char* text, size_t begin, size_t end) {
    DrawLineWith<WordRows>(font, canvas, x, y, tabOrigin, text, begin, end);
}

#if defined(__x86_64__) || defined(__i386__)
KARIDO_MASKED_STORES void DrawLineMasked(const Font& font, const Canvas& canvas, int64_t x,
                                         int64_t y, int64_t tabOrigin, const char* text,
                                         size_t begin, size_t end) {
    DrawLineWith<MaskedRows>(font, canvas, x, y, tabOrigin, text, begin, end);
}
#undef KARIDO_MASKED_STORES
#endif

// Both drawers write the same pixels: the masked one where the CPU has it,
// the word-wise one elsewhere or when the caller asks for it.
std::atomic<bool> wordsOnly{false};

LineDrawer ChooseLineDrawer() {
#if defined(__x86_64__) || defined(__i386__)
    if (CpuMayUseAvx512() && __builtin_cpu_supports("avx512vl")) {
        return DrawLineMasked;
    }
#endif
    return DrawLineWords;
}

void DrawLine(const Font& font, const Canvas& canvas, int64_t x, int64_t y, int64_t tabOrigin,
              const char* text, size_t begin, size_t end) {
    static const LineDrawer drawer = ChooseLineDrawer();
    const LineDrawer chosen = wordsOnly.load(std::memory_order_relaxed) ? DrawLineWords : drawer;
    chosen(font, canvas, x, y, tabOrigin, text, begin, end);
}

// Where a wrapped line ends (exclusive) and where the next one starts.
struct LineEnd {
    size_t end;
    size_t next;
    bool textEnds;  // the text ended before the line had a character
};

// Lays out the line that starts at pos in a rectangle room pixels wide.
LineEnd FindLineEnd(const char* text, size_t length, size_t pos, int64_t room) {
    int64_t pen = 0;
    size_t breakAt = pos;  // last place the line may end; pos while there is none
    bool afterDouble = false;
    size_t i = pos;
    for (;;) {
        const Cp932Char ch = Cp932Read(text, length, i);
        if (ch.size == 0) {
            return LineEnd{i, length, i == pos};
        }
        if (ch.code == '\n') {
            return LineEnd{i, i + 1, false};
        }
        if (ch.code == '\r') {
            const bool pair = i + 1 < length && text[i + 1] == '\n';
            return LineEnd{i, i + (pair ? 2 : 1), false};
        }
        if (ch.code == ' ' || ch.code == '\t') {
            // Blanks hang past the right edge rather than wrap, so the next
            // line starts at the following visible character.
            pen = ch.code == ' ' ? pen + FONT_HALF_WIDTH : (pen / TAB_STOP + 1) * TAB_STOP;
            i += 1;
            breakAt = i;
            afterDouble = false;
            continue;
        }
        const bool isDouble = ch.size == 2;
        if ((isDouble || afterDouble) && i > pos) {
            breakAt = i;
        }
        const int width = isDouble ? FONT_FULL_WIDTH : FONT_HALF_WIDTH;
        if (pen + width > room && i > pos) {
            const size_t end = breakAt > pos ? breakAt : i;
            return LineEnd{end, end, false};
        }
        pen += width;
        i += static_cast<size_t>(ch.size);
        afterDouble = isDouble;
    }
}

}  // namespace

void TextUseWordWrites(bool wordWrites) { wordsOnly.store(wordWrites, std::memory_order_relaxed); }

bool TextDraw(const Font* font, const TextTarget* target, int x, int y, const char* text,
              int length, uint8_t colour) {
    if (font == nullptr || !TargetUsable(target) || !TextUsable(text, length)) {
        return false;
    }
    if (length == 0) {
        return true;
    }
    const Canvas canvas =
        MakeCanvas(*target, TextRect{0, 0, target->width, target->height}, colour);
    // No tab stops: a tab is a character like any other here.
    DrawLine(*font, canvas, x, y, INT64_MIN, text, 0, TextLength(text, length));
    return true;
}

int TextDrawWrapped(const Font* font, const TextTarget* target, const TextRect* rect,
                    const char* text, int length, uint8_t colour) {
    if (font == nullptr || !TargetUsable(target) || rect == nullptr || !TextUsable(text, length)) {
        return -1;
    }
    if (length == 0) {
        return 0;
    }
    const Canvas canvas = MakeCanvas(*target, *rect, colour);
    const size_t size = TextLength(text, length);
    const int64_t room = int64_t{rect->right} - rect->left;
    int64_t lines = 0;
    size_t pos = 0;
    while (pos < size) {
        const LineEnd line = FindLineEnd(text, size, pos, room);
        if (line.textEnds) {
            break;  // only a lead byte was left: no line
        }
        DrawLine(*font, canvas, rect->left, rect->top + lines * FONT_CELL_HEIGHT, rect->left, text,
                 pos, line.end);
        ++lines;
        pos = line.next;
    }
    return static_cast<int>(std::min<int64_t>(lines * FONT_CELL_HEIGHT, INT32_MAX));
}

}  // namespace platform
