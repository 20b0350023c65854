// Resource lookups of the program's own table with any query: a type, a
// name and an integer id taken from the input. Names and types are any bytes
// of any length, zero bytes inside them included; each is handed over
// zero-terminated in a heap block of exactly its size, so a read past the
// terminator is caught. A lookup finds exactly the entries whose type and
// name (or id) equal the query as C strings, and a bitmap id that finds
// nothing loads nothing.
//
// Input: a selector byte (the type is "BITMAP", "SOUND" or taken from the
// input), the id (4 bytes), a type length byte and the type's bytes when
// taken from the input, and the name: the rest.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/resource.h"
#include "resources/program_resources.h"
#include "surface/bitmap_load.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using platform::ResourceBlock;
using platform::ResourceEntry;

std::unique_ptr<char[]> Terminated(const uint8_t* bytes, size_t size) {
    auto text = std::make_unique<char[]>(size + 1);
    if (size != 0) {
        std::memcpy(text.get(), bytes, size);
    }
    text[size] = '\0';
    return text;
}

bool Same(const char* a, const char* b) {
    return a != nullptr && b != nullptr && std::strcmp(a, b) == 0;
}

// The one entry that a lookup must find, or null; two matches are a broken
// table.
const ResourceEntry* Expected(const char* type, const char* name, int id) {
    const ResourceEntry* match = nullptr;
    for (size_t i = 0; i < programResources.count; ++i) {
        const ResourceEntry& entry = programResources.entries[i];
        const bool key =
            name != nullptr ? Same(entry.name, name) : entry.name == nullptr && entry.id == id;
        if (key && Same(entry.type, type)) {
            fuzz::Check(match == nullptr, "two resources share a type and key");
            match = &entry;
        }
    }
    return match;
}

void CheckFound(bool found, const ResourceBlock& block, const ResourceEntry* expected,
                const char* what) {
    fuzz::Check(found == (expected != nullptr), what);
    if (found) {
        fuzz::Check(block.data == expected->data && block.size == expected->size,
                    "a lookup returned another resource's block");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input input(data, size);
    const auto selector = input.Take<uint8_t>();
    const auto id = input.Take<int32_t>();
    std::unique_ptr<char[]> type;
    switch (selector % 3) {
        case 0:
            type = Terminated(reinterpret_cast<const uint8_t*>("BITMAP"), 6);
            break;
        case 1:
            type = Terminated(reinterpret_cast<const uint8_t*>("SOUND"), 5);
            break;
        default: {
            size_t taken = 0;
            const uint8_t* bytes = input.TakeBytes(input.Take<uint8_t>(), &taken);
            type = Terminated(bytes, taken);
            break;
        }
    }
    const auto name = Terminated(input.rest(), input.restSize());

    ResourceBlock block{};
    bool found = platform::ResourceFindById(&programResources, type.get(), id, &block);
    CheckFound(found, block, Expected(type.get(), nullptr, id), "lookup by id");
    found = platform::ResourceFindByName(&programResources, type.get(), name.get(), &block);
    CheckFound(found, block, Expected(type.get(), name.get(), 0), "lookup by name");

    // Without a block to fill, only the answer.
    fuzz::Check(
        platform::ResourceFindByName(&programResources, type.get(), name.get(), nullptr) == found,
        "lookup without a block answers otherwise");
    fuzz::Check(!platform::ResourceFindByName(&programResources, type.get(), nullptr, &block),
                "a null name found something");
    fuzz::Check(!platform::ResourceFindById(nullptr, type.get(), id, &block),
                "a null module found something");

    // The bitmap loader's lookup by id.
    Surface* surface = SurfaceLoadResource(&programResources, id);
    fuzz::Check(surface == nullptr || Expected(platform::RESOURCE_BITMAP, nullptr, id) != nullptr,
                "an id that names no bitmap loaded one");
    SurfaceDestroy(surface);
    return 0;
}
