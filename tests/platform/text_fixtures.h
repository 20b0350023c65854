// The program's texts in CP932, the font the text tests share, and small
// helpers for comparing pixel buffers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/font.h"
#include "platform/text.h"

namespace text_fixtures {

// Item names, each space-padded to 14 bytes.
inline const char* const ITEM_NAMES[] = {
    "\x83"
    "A\x83Q\x83"
    "C\x83\x93      ",  // アゲイン
    "\x83"
    "A\x83Q\x83"
    "C\x83\x93"
    "24    ",  // アゲイン24
    "\x83h\x83\x89\x83"
    "b\x83O      ",  // ドラッグ
    "\x83w\x83r\x81[\x83h\x83\x89\x83"
    "b\x83O",                               // ヘビードラッグ
    "\x83\x88\x83\x93\x83P\x83\x8B      ",  // ヨンケル
    "\x83\x84\x83\x93\x83P\x83\x8B      ",  // ヤンケル
    "\x83I\x83\x8A\x83S\x83~\x83\x93\x82"
    "b  ",  // オリゴミンＣ
    "\x94"
    "E\x8E\xD2\x90H        ",                              // 忍者食
    "\x92n\x82\xCC\x83G\x83\x8C\x83\x81\x83\x93\x83g",     // 地のエレメント
    "\x90\x85\x82\xCC\x83G\x83\x8C\x83\x81\x83\x93\x83g",  // 水のエレメント
    "\x89\xCE\x82\xCC\x83G\x83\x8C\x83\x81\x83\x93\x83g",  // 火のエレメント
    "\x95\x97\x82\xCC\x83G\x83\x8C\x83\x81\x83\x93\x83g",  // 風のエレメント
    "\x83\x82\x83"
    "A\x83X\x83\x8C\x83\x93\x83_\x81[",  // モアスレンダー
    "\x83q\x91"
    "f\x83~\x83\x8B\x83N    ",                             // ヒ素ミルク
    "\x90\xC2\x8E_\x83L\x83\x83\x83\x89\x83\x81\x83\x8B",  // 青酸キャラメル
    "\x94_\x96\xF2\x93\xFC\x82\xE8\x83R\x81[\x83\x89",     // 農薬入りコーラ
};

// The item descriptions, in the same order.
inline const char* const DESCRIPTIONS[] = {
    // HPが50%回復する。
    "HP\x82\xAA"
    "50%\x89\xF1\x95\x9C\x82\xB7\x82\xE9\x81"
    "B",
    // HPが100%回復する。\n24時間戦えますか？
    "HP\x82\xAA"
    "100%\x89\xF1\x95\x9C\x82\xB7\x82\xE9\x81"
    "B\n24\x8E\x9E\x8A\xD4\x90\xED\x82"
    "\xA6\x82\xDC\x82\xB7\x82\xA9\x81H",
    // MPが50%回復する。\n使いすぎに注意。
    "MP\x82\xAA"
    "50%\x89\xF1\x95\x9C\x82\xB7\x82\xE9\x81"
    "B\n\x8Eg\x82\xA2\x82\xB7\x82\xAC\x82"
    "\xC9\x92\x8D\x88\xD3\x81"
    "B",
    // 一定期間MPが減らなくなる。\n使うとかなりヤバイ。
    "\x88\xEA\x92\xE8\x8A\xFA\x8A\xD4MP\x82\xAA\x8C\xB8\x82\xE7\x82\xC8\x82\xAD\x82\xC8\x82\xE9"
    "\x81"
    "B\n\x8Eg\x82\xA4\x82\xC6\x82\xA9\x82\xC8\x82\xE8\x83\x84\x83o\x83"
    "C\x81"
    "B",
    // ♪よんよん～よんけあー
    "\x81\xF4\x82\xE6\x82\xF1\x82\xE6\x82\xF1\x81`\x82\xE6\x82\xF1\x82\xAF\x82\xA0\x81[",
    // ♪やんやん～やんけあー
    "\x81\xF4\x82\xE2\x82\xF1\x82\xE2\x82\xF1\x81`\x82\xE2\x82\xF1\x82\xAF\x82\xA0\x81[",
    // オリゴ糖とビタミンＣがたっぷり。
    "\x83I\x83\x8A\x83S\x93\x9C\x82\xC6\x83r\x83^\x83~\x83\x93\x82"
    "b\x82\xAA\x82\xBD\x82\xC1"
    "\x82\xD5\x82\xE8\x81"
    "B",
    // 忍者の食事。鉄分たっぷり。\n「なんか血の味しない？」
    "\x94"
    "E\x8E\xD2\x82\xCC\x90H\x8E\x96\x81"
    "B\x93S\x95\xAA\x82\xBD\x82\xC1\x82\xD5\x82\xE8"
    "\x81"
    "B\n\x81u\x82\xC8\x82\xF1\x82\xA9\x8C\x8C\x82\xCC\x96\xA1\x82\xB5\x82\xC8\x82\xA2"
    "\x81H\x81v",
    // 地属性魔法の源。
    "\x92n\x91\xAE\x90\xAB\x96\x82\x96@\x82\xCC\x8C\xB9\x81"
    "B",
    // 水属性魔法の源。
    "\x90\x85\x91\xAE\x90\xAB\x96\x82\x96@\x82\xCC\x8C\xB9\x81"
    "B",
    // 火属性魔法の源。
    "\x89\xCE\x91\xAE\x90\xAB\x96\x82\x96@\x82\xCC\x8C\xB9\x81"
    "B",
    // 風属性魔法の源。
    "\x95\x97\x91\xAE\x90\xAB\x96\x82\x96@\x82\xCC\x8C\xB9\x81"
    "B",
    // 美しいボディになれる。\n“刺激的な味がしますが、一気に飲み干してください”と書いてある。
    // \nデア・ド・サロン製
    "\x94\xFC\x82\xB5\x82\xA2\x83{\x83"
    "f\x83"
    "B\x82\xC9\x82\xC8\x82\xEA\x82\xE9\x81"
    "B\n"
    "\x81g\x8Eh\x8C\x83\x93I\x82\xC8\x96\xA1\x82\xAA\x82\xB5\x82\xDC\x82\xB7\x82\xAA\x81"
    "A"
    "\x88\xEA\x8B"
    "C\x82\xC9\x88\xF9\x82\xDD\x8A\xB1\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3"
    "\x82\xA2\x81h\x82\xC6\x8F\x91\x82\xA2\x82\xC4\x82\xA0\x82\xE9\x81"
    "B\n"
    "\x83"
    "f\x83"
    "A\x81"
    "E\x83h\x81"
    "E\x83T\x83\x8D\x83\x93\x90\xBB",
    // ヒ素化合物が混入されている粉ミルク。\n赤ちゃんぐったり。
    "\x83q\x91"
    "f\x89\xBB\x8D\x87\x95\xA8\x82\xAA\x8D\xAC\x93\xFC\x82\xB3\x82\xEA\x82\xC4\x82"
    "\xA2\x82\xE9\x95\xB2\x83~\x83\x8B\x83N\x81"
    "B\n\x90\xD4\x82\xBF\x82\xE1\x82\xF1\x82\xAE"
    "\x82\xC1\x82\xBD\x82\xE8\x81"
    "B",
    // 箱に両手を上げたランニングシャツ姿の男性が描かれている。\n“たべたらしぬで”
    "\x94\xA0\x82\xC9\x97\xBC\x8E\xE8\x82\xF0\x8F\xE3\x82\xB0\x82\xBD\x83\x89\x83\x93\x83j\x83"
    "\x93\x83O\x83V\x83\x83\x83"
    "c\x8Ep\x82\xCC\x92j\x90\xAB\x82\xAA\x95`\x82\xA9\x82\xEA\x82"
    "\xC4\x82\xA2\x82\xE9\x81"
    "B\n\x81g\x82\xBD\x82\xD7\x82\xBD\x82\xE7\x82\xB5\x82\xCA\x82"
    "\xC5\x81h",
    // 自販機でタダで手に入りました。
    "\x8E\xA9\x94\xCC\x8B@\x82\xC5\x83^\x83_\x82\xC5\x8E\xE8\x82\xC9\x93\xFC\x82\xE8\x82\xDC\x82"
    "\xB5\x82\xBD\x81"
    "B",
};

inline const char* const LONGEST_DESCRIPTION = DESCRIPTIONS[12];

inline const char* const OUT_OF_AMMO =
    "\x92"
    "e\x90\xD8\x82\xEA\x82\xC1\x82\xB7\x82\xA3\x81"
    "B";
// "%s：%02d" as the item list formats it: a name, a full-width colon, a number.
inline const char* const LIST_ROW =
    "\x83"
    "A\x83Q\x83"
    "C\x83\x93      \x81"
    "F00";
inline const char* const FPS = "9999fps";
// ＭＳ ゴシック
inline const char FACE_NAME[] =
    "\x82l\x82r \x83S\x83V\x83"
    "b\x83N";

// One font for every test: building the glyph table renders ~7000 glyphs.
inline const platform::Font* SharedFont() {
    struct Deleter {
        void operator()(platform::Font* font) const { platform::FontDestroy(font); }
    };
    static const std::unique_ptr<platform::Font, Deleter> font(
        platform::FontCreateIndirect(nullptr));
    return font.get();
}

// A pixel buffer filled with one byte, with a view of it as a target.
struct Buffer {
    Buffer(int w, int h, uint8_t fill = 0, int pad = 0)
        : width(w),
          height(h),
          stride(w + pad),
          pixels(static_cast<size_t>(stride) * static_cast<size_t>(h), fill) {}
    platform::TextTarget Target() {
        return platform::TextTarget{pixels.data(), width, height, stride};
    }
    uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y * stride + x)]; }
    int width;
    int height;
    int stride;
    std::vector<uint8_t> pixels;
};

// The pixels that differ from fill, as "x,y" lines, for readable failures.
inline std::string ChangedPixels(const Buffer& buffer, uint8_t fill) {
    std::string out;
    for (int y = 0; y < buffer.height; ++y) {
        for (int x = 0; x < buffer.stride; ++x) {
            if (buffer.At(x, y) != fill) {
                out += std::to_string(x) + "," + std::to_string(y) + "\n";
            }
        }
    }
    return out;
}

}  // namespace text_fixtures
