// Resources linked into the executable, found by type and integer id or by
// type and name, as read-only byte blocks.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// Resource types. A bitmap's block is a packed DIB (the bitmap file's 14-byte
// file header stripped); a sound's block is the whole WAV file.
inline constexpr const char* RESOURCE_BITMAP = "BITMAP";
inline constexpr const char* RESOURCE_SOUND = "SOUND";

struct ResourceEntry {
    const char* type;      // RESOURCE_BITMAP, RESOURCE_SOUND, ...
    int id;                // integer id, or 0 for a named resource
    const char* name;      // name, or null for a resource with an integer id
    int language;          // language id (1041 for Japanese)
    const uint8_t* data;   // read-only, lives as long as the process
    size_t size;
};

// A module: the set of resources one executable carries.
struct Module {
    const ResourceEntry* entries;
    size_t count;
};

struct ResourceBlock {
    const uint8_t* data;
    size_t size;
};

// Looks up (type, id) in module. Returns true and fills *block when found;
// false for a null module or type, or when nothing matches.
bool ResourceFindById(const Module* module, const char* type, int id, ResourceBlock* block);

// Looks up (type, name), names compared exactly. A null name finds nothing.
bool ResourceFindByName(const Module* module, const char* type, const char* name,
                        ResourceBlock* block);

}  // namespace platform
