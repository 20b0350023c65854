// Resources linked into the executable, found by type and integer id or by
// type and name, as read-only byte blocks. A module is either a table of
// entries (the Linux build links the files and lists them) or the resources
// the operating system keeps in the executable file (the Win32 build, whose
// resource script the resource compiler turns into real resources).
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

struct ResourceBlock {
    const uint8_t* data;
    size_t size;
};

// The operating system's lookup of a resource by type and integer id (name
// null) or by type and name; true and *block filled when found.
using ResourceFinder = bool (*)(const char* type, int id, const char* name,
                                ResourceBlock* block);

// A module: the set of resources one executable carries. With find set, the
// lookups below go to it and the entries only list what the module holds
// (their data null); otherwise they search the entries.
struct Module {
    const ResourceEntry* entries;
    size_t count;
    ResourceFinder find = nullptr;
};

// Looks up (type, id) in module. Returns true and fills *block when found;
// false for a null module or type, or when nothing matches.
bool ResourceFindById(const Module* module, const char* type, int id, ResourceBlock* block);

// Looks up (type, name), names compared exactly. A null name finds nothing.
bool ResourceFindByName(const Module* module, const char* type, const char* name,
                        ResourceBlock* block);

// The Win32 lookup in the running executable's own resources: RESOURCE_BITMAP
// is the system's bitmap type, any other type a type name; found with
// FindResourceA, LoadResource and LockResource. Implemented by the Win32
// backend (platform/win32/), for the module of a Win32 build.
bool ResourceFindInExecutable(const char* type, int id, const char* name, ResourceBlock* block);

}  // namespace platform
