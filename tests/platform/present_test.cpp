#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/frame_convert.h"
#include "platform/mailbox.h"
#include "platform/palette.h"
#include "platform/window.h"
// After the platform's headers, whose palette constants the system's macros
// would replace.
#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

using platform::ColourTable32;
using platform::Frame;
using platform::FrameMailbox;

using Kernel = void (*)(const uint8_t*, int, int, int, const ColourTable32*, uint32_t*, int);

struct NamedKernel {
    const char* name;
    Kernel kernel;
};

// The kernels this CPU can run, the dispatching entry point included.
std::vector<NamedKernel> RunnableKernels() {
    std::vector<NamedKernel> kernels = {{"FrameConvert", platform::FrameConvert},
                                        {"Scalar", platform::FrameConvertScalar}};
#if defined(__x86_64__)
    if (platform::CpuHasAvx512Vbmi()) {
        kernels.push_back({"Avx512Vbmi", platform::FrameConvertAvx512Vbmi});
    }
    if (platform::CpuHasAvx2()) {
        kernels.push_back({"Avx2", platform::FrameConvertAvx2});
    }
#endif
    return kernels;
}

// Memory whose last byte is followed by an inaccessible page, so that a
// kernel reading or writing even one byte past the end crashes the test.
class GuardedBytes {
   public:
#if defined(_WIN32)
    explicit GuardedBytes(size_t size) : size_(size) {
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        const size_t page = system.dwPageSize;
        const size_t dataPages = (size + page - 1) / page;
        mapped_ = (dataPages + 1) * page;
        base_ = static_cast<uint8_t*>(
            VirtualAlloc(nullptr, mapped_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        if (base_ == nullptr) {
            return;
        }
        DWORD previous;
        VirtualProtect(base_ + dataPages * page, page, PAGE_NOACCESS, &previous);
        data_ = base_ + dataPages * page - size;
    }
    ~GuardedBytes() {
        if (base_ != nullptr) {
            VirtualFree(base_, 0, MEM_RELEASE);
        }
    }
#else
    explicit GuardedBytes(size_t size) : size_(size) {
        const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        const size_t dataPages = (size + page - 1) / page;
        mapped_ = (dataPages + 1) * page;
        void* base =
            mmap(nullptr, mapped_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (base == MAP_FAILED) {
            base_ = nullptr;
            return;
        }
        base_ = static_cast<uint8_t*>(base);
        mprotect(base_ + dataPages * page, page, PROT_NONE);
        data_ = base_ + dataPages * page - size;
    }
    ~GuardedBytes() {
        if (base_ != nullptr) {
            munmap(base_, mapped_);
        }
    }
#endif
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;

    bool ok() const { return base_ != nullptr; }
    uint8_t* data() const { return data_; }
    size_t size() const { return size_; }

   private:
    size_t size_;
    size_t mapped_ = 0;
    uint8_t* base_ = nullptr;
    uint8_t* data_ = nullptr;
};

void FillRandomTable(std::mt19937& rng, ColourTable32* table, bool opaque) {
    for (uint32_t& c : table->argb) {
        c = static_cast<uint32_t>(rng());
        if (opaque) {
            c |= 0xFF000000u;
        }
    }
}

constexpr uint32_t SENTINEL = 0xA5C3E1F7u;

// Runs one kernel on a random region and compares every destination pixel
// with a plain look-up; pixels outside the region must keep SENTINEL.
void CheckKernel(const NamedKernel& k, std::mt19937& rng, int width, int height, int srcPad,
                 int dstPad, bool opaque) {
    SCOPED_TRACE(std::string(k.name) + " width " + std::to_string(width) + " height " +
                 std::to_string(height) + " srcPad " + std::to_string(srcPad) + " dstPad " +
                 std::to_string(dstPad) + (opaque ? " opaque" : " any alpha"));
    ColourTable32 table;
    FillRandomTable(rng, &table, opaque);
    const int srcStride = width + srcPad;
    const int dstStride = width + dstPad;
    // Both buffers end right after the region's last pixel.
    const size_t srcBytes = height == 0 ? 0 : static_cast<size_t>(srcStride) * (height - 1) + width;
    const size_t dstPixels =
        height == 0 ? 0 : static_cast<size_t>(dstStride) * (height - 1) + width;
    GuardedBytes src(srcBytes);
    GuardedBytes dstMemory(dstPixels * sizeof(uint32_t));
    ASSERT_TRUE(src.ok() && dstMemory.ok());
    for (size_t i = 0; i < srcBytes; ++i) {
        src.data()[i] = static_cast<uint8_t>(rng());
    }
    uint32_t* dst = reinterpret_cast<uint32_t*>(dstMemory.data());
    for (size_t i = 0; i < dstPixels; ++i) {
        dst[i] = SENTINEL;
    }

    k.kernel(src.data(), srcStride, width, height, &table, dst, dstStride);

    int wrong = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < dstStride && static_cast<size_t>(y) * dstStride + x < dstPixels; ++x) {
            const uint32_t got = dst[static_cast<size_t>(y) * dstStride + x];
            const uint32_t want = x < width ? table.argb[src.data()[y * srcStride + x]] : SENTINEL;
            if (got != want && ++wrong <= 3) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): got " << std::hex << got
                              << ", want " << want;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

// Region widths around the vector kernel's 64-pixel groups and its 16-pixel
// stores, up to the shown width, with several heights and paddings.
TEST(FrameConvert, EveryKernelMatchesPlainLookUpOnRandomRegions) {
    std::mt19937 rng(7);
    const int widths[] = {0,  1,  2,  3,  15,  16,  17,  31,  32,  33,  47,  48,  49, 63,
                          64, 65, 79, 80, 100, 127, 128, 129, 191, 192, 255, 300, 384};
    for (const NamedKernel& k : RunnableKernels()) {
        for (const int width : widths) {
            for (const int height : {0, 1, 3}) {
                const int srcPad = static_cast<int>(rng() % 70);
                const int dstPad = static_cast<int>(rng() % 20);
                CheckKernel(k, rng, width, height, srcPad, dstPad, true);
                CheckKernel(k, rng, width, height, 0, 0, false);
            }
        }
        // Random sizes and strides, some with the alpha bytes left random.
        for (int i = 0; i < 40; ++i) {
            const int width = static_cast<int>(rng() % 301);
            const int height = 1 + static_cast<int>(rng() % 9);
            CheckKernel(k, rng, width, height, static_cast<int>(rng() % 130),
                        static_cast<int>(rng() % 130), (i & 1) != 0);
        }
    }
}

TEST(FrameConvert, EveryIndexMapsToItsOwnEntry) {
    std::mt19937 rng(11);
    ColourTable32 table;
    FillRandomTable(rng, &table, true);
    // Each row holds all 256 indices, the second row in reverse, so every
    // index lands in both halves of a 64-pixel group and at a row tail.
    constexpr int WIDTH = 300;
    uint8_t src[2][WIDTH];
    for (int x = 0; x < WIDTH; ++x) {
        src[0][x] = static_cast<uint8_t>(x);
        src[1][x] = static_cast<uint8_t>(255 - x);
    }
    for (const NamedKernel& k : RunnableKernels()) {
        SCOPED_TRACE(k.name);
        uint32_t dst[2][WIDTH];
        k.kernel(&src[0][0], WIDTH, WIDTH, 2, &table, &dst[0][0], WIDTH);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < WIDTH; ++x) {
                ASSERT_EQ(dst[y][x], table.argb[src[y][x]]) << "x " << x << " y " << y;
            }
        }
    }
}

// ---- The mailbox, used from one thread -------------------------------------

void Fill(Frame* frame, uint8_t value) {
    std::memset(frame->pixels, value, static_cast<size_t>(frame->stride) * frame->height);
}

bool AllEqual(const Frame* frame, int rows, uint8_t value) {
    for (int i = 0; i < frame->stride * rows; ++i) {
        if (frame->pixels[i] != value) {
            return false;
        }
    }
    return true;
}

TEST(Mailbox, CreationRejectsBadSizes) {
    EXPECT_EQ(platform::MailboxCreate(0, 10), nullptr);
    EXPECT_EQ(platform::MailboxCreate(10, 0), nullptr);
    EXPECT_EQ(platform::MailboxCreate(-4, 10), nullptr);
    // Three frames of this size do not fit in the address space.
    EXPECT_EQ(platform::MailboxCreate(INT_MAX, INT_MAX), nullptr);

    FrameMailbox* mailbox = platform::MailboxCreate(40, 30);
    ASSERT_NE(mailbox, nullptr);
    Frame* back = platform::MailboxBackFrame(mailbox);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->stride, 64);  // rows start on cache lines
    EXPECT_EQ(back->width, 40);
    EXPECT_EQ(back->height, 30);
    platform::MailboxDestroy(mailbox);
    platform::MailboxDestroy(nullptr);
}

TEST(Mailbox, TakesOnlyTheNewestAndOnlyOnce) {
    FrameMailbox* mailbox = platform::MailboxCreate(16, 8);
    ASSERT_NE(mailbox, nullptr);
    EXPECT_EQ(platform::MailboxTakeNewest(mailbox), nullptr);

    Fill(platform::MailboxBackFrame(mailbox), 1);
    platform::MailboxPublish(mailbox, 10, 5, 100, 50, nullptr);
    Fill(platform::MailboxBackFrame(mailbox), 2);
    platform::MailboxPublish(mailbox, 12, 6, 120, 60, nullptr);

    const Frame* taken = platform::MailboxTakeNewest(mailbox);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(taken->sequence, 2u);
    EXPECT_EQ(taken->width, 12);
    EXPECT_EQ(taken->height, 6);
    EXPECT_EQ(taken->outWidth, 120);
    EXPECT_EQ(taken->outHeight, 60);
    EXPECT_TRUE(AllEqual(taken, 8, 2));
    EXPECT_EQ(platform::MailboxTakeNewest(mailbox), nullptr);

    // The taken frame stays as it was while the producer draws and publishes
    // two more pictures; neither is drawn into the taken frame.
    for (uint8_t value : {3, 4}) {
        Frame* back = platform::MailboxBackFrame(mailbox);
        EXPECT_NE(back->pixels, taken->pixels);
        Fill(back, value);
        platform::MailboxPublish(mailbox, 16, 8, 1, 1, nullptr);
    }
    EXPECT_EQ(taken->sequence, 2u);
    EXPECT_EQ(taken->width, 12);
    EXPECT_TRUE(AllEqual(taken, 8, 2));

    const Frame* next = platform::MailboxTakeNewest(mailbox);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->sequence, 4u);
    EXPECT_TRUE(AllEqual(next, 8, 4));
    EXPECT_EQ(platform::MailboxTakeNewest(mailbox), nullptr);
    platform::MailboxDestroy(mailbox);
}

TEST(Mailbox, PublishClampsSizesAndCountsSequences) {
    FrameMailbox* mailbox = platform::MailboxCreate(16, 8);
    ASSERT_NE(mailbox, nullptr);
    for (uint64_t expected = 1; expected <= 5; ++expected) {
        platform::MailboxPublish(mailbox, 1000, -3, 7, 9, nullptr);
        const Frame* taken = platform::MailboxTakeNewest(mailbox);
        ASSERT_NE(taken, nullptr);
        EXPECT_EQ(taken->sequence, expected);
        EXPECT_EQ(taken->width, 16);
        EXPECT_EQ(taken->height, 0);
    }
    // A publish after the take hands the producer a frame it may reuse; the
    // back frame is again given at full size.
    const Frame* back = platform::MailboxBackFrame(mailbox);
    EXPECT_EQ(back->width, 16);
    EXPECT_EQ(back->height, 8);
    EXPECT_EQ(platform::MailboxBackFrame(nullptr), nullptr);
    EXPECT_EQ(platform::MailboxTakeNewest(nullptr), nullptr);
    EXPECT_FALSE(platform::MailboxWanted(nullptr));
    platform::MailboxRequest(nullptr);
    platform::MailboxPublish(nullptr, 1, 1, 1, 1, nullptr);
    platform::MailboxDestroy(mailbox);
}

TEST(Mailbox, AFrameIsWantedFromTheRequestToThePublish) {
    FrameMailbox* mailbox = platform::MailboxCreate(4, 4);
    ASSERT_NE(mailbox, nullptr);
    EXPECT_FALSE(platform::MailboxWanted(mailbox));
    platform::MailboxRequest(mailbox);
    platform::MailboxRequest(mailbox);  // asking twice is asking once
    EXPECT_TRUE(platform::MailboxWanted(mailbox));
    platform::MailboxPublish(mailbox, 4, 4, 4, 4, nullptr);
    EXPECT_FALSE(platform::MailboxWanted(mailbox));
    // The request made after taking the answer is the next one.
    ASSERT_NE(platform::MailboxTakeNewest(mailbox), nullptr);
    platform::MailboxRequest(mailbox);
    EXPECT_TRUE(platform::MailboxWanted(mailbox));
    platform::MailboxDestroy(mailbox);
}

constexpr uint32_t BLACK = 0xFF000000u;

// Colours of a palette of count random entries, shown through a shuffled
// permutation of 0..255 whose first value is far outside any palette.
struct ColourFixture {
    platform::Palette palette{};
    uint16_t colourIndices[256];

    ColourFixture(std::mt19937& rng, uint16_t count) {
        palette.count = count;
        for (auto& e : palette.entries) {
            const uint32_t c = static_cast<uint32_t>(rng());
            e = {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8),
                 static_cast<uint8_t>(c >> 16), 0};
        }
        for (int v = 0; v < 256; ++v) {
            colourIndices[v] = static_cast<uint16_t>(v);
        }
        std::shuffle(std::begin(colourIndices), std::end(colourIndices), rng);
        colourIndices[0] = 0x1234;
    }

    // The colour byte v should show through palette (or none).
    uint32_t Want(uint8_t v, const platform::Palette* through) const {
        const uint16_t entry = colourIndices[v];
        if (through == nullptr || entry >= through->count) {
            return BLACK;
        }
        const platform::PaletteEntry& e = through->entries[entry];
        return BLACK | uint32_t{e.peRed} << 16 | uint32_t{e.peGreen} << 8 | e.peBlue;
    }
};

TEST(FrameColours, EachByteShowsItsEntryAndEntriesOutsideThePaletteAreBlack) {
    std::mt19937 rng(7);
    const ColourFixture f(rng, 200);
    platform::FrameColours colours{};
    platform::FrameColoursBuild(&colours, f.colourIndices, &f.palette);
    const uint64_t first = colours.serial;
    EXPECT_NE(first, 0u);
    EXPECT_EQ(colours.palette, &f.palette);
    for (int v = 0; v < 256; ++v) {
        ASSERT_EQ(colours.argb.argb[v], f.Want(static_cast<uint8_t>(v), &f.palette)) << v;
        ASSERT_EQ(colours.paletteIndex[v], f.colourIndices[v]) << v;
    }
    // Built again, the table is told apart from the one before; without a
    // palette every byte is black, and without indices byte v shows entry v.
    platform::FrameColoursBuild(&colours, f.colourIndices, nullptr);
    EXPECT_NE(colours.serial, first);
    EXPECT_EQ(colours.argb.argb[77], BLACK);
    platform::FrameColoursBuild(&colours, nullptr, &f.palette);
    EXPECT_EQ(colours.paletteIndex[77], 77);
    EXPECT_EQ(colours.argb.argb[77] & 0xFFu, f.palette.entries[77].peBlue);
}

TEST(Mailbox, EachFrameKeepsTheColoursItWasPublishedWith) {
    std::mt19937 rng(9);
    const ColourFixture f(rng, 256);
    platform::FrameColours first{};
    platform::FrameColoursBuild(&first, f.colourIndices, &f.palette);
    platform::FrameColours changed = first;
    platform::FrameColoursBuild(&changed, nullptr, &f.palette);

    FrameMailbox* mailbox = platform::MailboxCreate(4, 4);
    ASSERT_NE(mailbox, nullptr);
    // Every slot gets the first table, then each is taken in turn.
    for (int i = 0; i < 3; ++i) {
        platform::MailboxPublish(mailbox, 4, 4, 4, 4, &first);
        const Frame* taken = platform::MailboxTakeNewest(mailbox);
        ASSERT_NE(taken, nullptr);
        EXPECT_EQ(taken->colours->serial, first.serial);
        EXPECT_EQ(std::memcmp(taken->colours->argb.argb, first.argb.argb, sizeof first.argb.argb), 0);
    }
    const Frame* held = platform::MailboxTakeNewest(mailbox);
    EXPECT_EQ(held, nullptr);
    platform::MailboxPublish(mailbox, 4, 4, 4, 4, &first);
    held = platform::MailboxTakeNewest(mailbox);
    ASSERT_NE(held, nullptr);
    // The producer goes on with new colours, and then with none: the frame
    // the consumer holds keeps its own.
    platform::MailboxPublish(mailbox, 4, 4, 4, 4, &changed);
    platform::MailboxPublish(mailbox, 4, 4, 4, 4, nullptr);
    EXPECT_EQ(held->colours->serial, first.serial);
    EXPECT_EQ(held->colours->argb.argb[5], first.argb.argb[5]);
    const Frame* next = platform::MailboxTakeNewest(mailbox);
    ASSERT_NE(next, nullptr);
    for (uint32_t c : next->colours->argb.argb) {
        ASSERT_EQ(c, BLACK);
    }
    platform::MailboxPublish(mailbox, 4, 4, 4, 4, &changed);
    next = platform::MailboxTakeNewest(mailbox);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->colours->serial, changed.serial);
    EXPECT_EQ(next->colours->paletteIndex[9], 9);
    platform::MailboxDestroy(mailbox);
}

// ---- The present step -------------------------------------------------------

constexpr uint8_t UNTOUCHED = 0xA5;

struct PresentFixture {
    FrameMailbox* mailbox;
    platform::Window window;
    std::vector<uint8_t> backBuffer;  // 768 x 512

    PresentFixture(std::mt19937& rng, int maxWidth, int maxHeight)
        : mailbox(platform::MailboxCreate(maxWidth, maxHeight)),
          window{nullptr, mailbox, 768, 512, nullptr},
          backBuffer(768 * 512) {
        for (uint8_t& b : backBuffer) {
            b = static_cast<uint8_t>(rng());
        }
    }
    ~PresentFixture() { platform::MailboxDestroy(mailbox); }
};

// Bytes of the frame's width x height region that are not the region's.
int CountWrong(const Frame* frame, const uint8_t* region, int width, int height) {
    int wrong = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            wrong += frame->pixels[y * frame->stride + x] != region[y * 768 + x];
        }
    }
    return wrong;
}

TEST(WindowPresent, HandsOverTheRegionsBytesAndColoursWhenAsked) {
    std::mt19937 rng(3);
    PresentFixture f(rng, 768, 512);
    ASSERT_NE(f.mailbox, nullptr);
    const ColourFixture c(rng, 200);
    platform::FrameColours colours{};
    platform::FrameColoursBuild(&colours, c.colourIndices, &c.palette);
    // The region starts inside the buffer, as the shown window does.
    const uint8_t* region = f.backBuffer.data() + 40 * 768 + 17;

    // Not asked for: nothing is copied or published.
    platform::WindowPresent(&f.window, region, 768, 384, 256, &colours, 768, 512);
    EXPECT_EQ(platform::MailboxTakeNewest(f.mailbox), nullptr);

    platform::MailboxRequest(f.mailbox);
    platform::WindowPresent(&f.window, region, 768, 384, 256, &colours, 768, 512);
    const Frame* frame = platform::MailboxTakeNewest(f.mailbox);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->width, 384);
    EXPECT_EQ(frame->height, 256);
    EXPECT_EQ(frame->outWidth, 768);
    EXPECT_EQ(frame->outHeight, 512);
    EXPECT_EQ(frame->sequence, 1u);
    EXPECT_EQ(CountWrong(frame, region, 384, 256), 0);
    EXPECT_EQ(frame->colours->serial, colours.serial);
    EXPECT_EQ(frame->colours->palette, &c.palette);
    EXPECT_EQ(frame->colours->argb.argb[frame->pixels[0]], c.Want(region[0], &c.palette));
    // Answered: the next present copies nothing until asked again.
    platform::WindowPresent(&f.window, region, 768, 384, 256, &colours, 768, 512);
    EXPECT_EQ(platform::MailboxTakeNewest(f.mailbox), nullptr);
}

TEST(WindowPresent, ClampsToTheMailboxAndPublishesEmptyRegions) {
    std::mt19937 rng(5);
    PresentFixture f(rng, 100, 60);
    ASSERT_NE(f.mailbox, nullptr);
    // Mark all three frames so that any write outside the clamped region
    // shows: each publish and take passes the next frame to the producer.
    for (int i = 0; i < 3; ++i) {
        Fill(platform::MailboxBackFrame(f.mailbox), UNTOUCHED);
        platform::MailboxPublish(f.mailbox, 0, 0, 0, 0, nullptr);
        ASSERT_NE(platform::MailboxTakeNewest(f.mailbox), nullptr);
    }

    platform::MailboxRequest(f.mailbox);
    platform::WindowPresent(&f.window, f.backBuffer.data(), 768, 384, 256, nullptr, 640, 480);
    const Frame* frame = platform::MailboxTakeNewest(f.mailbox);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->width, 100);
    EXPECT_EQ(frame->height, 60);
    EXPECT_EQ(frame->outWidth, 640);
    EXPECT_EQ(frame->outHeight, 480);
    EXPECT_EQ(CountWrong(frame, f.backBuffer.data(), 100, 60), 0);

    // A zero-sized region publishes an empty frame and copies nothing.
    platform::MailboxRequest(f.mailbox);
    platform::WindowPresent(&f.window, f.backBuffer.data(), 768, 0, 256, nullptr, 640, 480);
    frame = platform::MailboxTakeNewest(f.mailbox);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->width, 0);
    EXPECT_EQ(frame->outWidth, 640);
    EXPECT_TRUE(AllEqual(frame, 60, UNTOUCHED));
    platform::MailboxRequest(f.mailbox);
    platform::WindowPresent(&f.window, f.backBuffer.data(), 768, -5, -5, nullptr, 640, 480);
    frame = platform::MailboxTakeNewest(f.mailbox);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->width, 0);
    EXPECT_EQ(frame->height, 0);

    // No window or no mailbox: nothing happens, and nothing is published.
    platform::MailboxRequest(f.mailbox);
    platform::WindowPresent(nullptr, f.backBuffer.data(), 768, 10, 10, nullptr, 1, 1);
    platform::Window noMailbox{nullptr, nullptr, 768, 512, nullptr};
    platform::WindowPresent(&noMailbox, f.backBuffer.data(), 768, 10, 10, nullptr, 1, 1);
    EXPECT_EQ(platform::MailboxTakeNewest(f.mailbox), nullptr);
}

}  // namespace
