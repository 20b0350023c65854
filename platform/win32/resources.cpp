// The resources of a Win32 build: the resource compiler has put them into
// the executable file, and the system finds them there.
#include <windows.h>

#include <cstring>

#include "platform/resource.h"

namespace platform {

namespace {

// The resource compiler stores names in capitals, and the system compares
// names without regard to case; a name with small letters, or one the
// system would read as an id ("#101"), is not looked up, so that a name
// finds only the resource of exactly that name.
bool IsStoredName(const char* name) {
    if (name[0] == '\0' || name[0] == '#') {
        return false;
    }
    for (const char* c = name; *c != '\0'; ++c) {
        if (*c >= 'a' && *c <= 'z') {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ResourceFindInExecutable(const char* type, int id, const char* name, ResourceBlock* block) {
    if (type == nullptr || type[0] == '\0') {
        return false;
    }
    LPCSTR typeKey = std::strcmp(type, RESOURCE_BITMAP) == 0 ? MAKEINTRESOURCEA(2) : type;
    if (typeKey == type && !IsStoredName(type)) {
        return false;
    }
    LPCSTR nameKey;
    if (name != nullptr) {
        if (!IsStoredName(name)) {
            return false;
        }
        nameKey = name;
    } else {
        // Integer ids are 16 bits wide; 0 is none.
        if (id <= 0 || id > 0xFFFF) {
            return false;
        }
        nameKey = MAKEINTRESOURCEA(id);
    }
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceA(module, nameKey, typeKey);
    if (found == nullptr) {
        return false;
    }
    const HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    const DWORD size = SizeofResource(module, found);
    if (data == nullptr) {
        return false;
    }
    if (block != nullptr) {
        *block = ResourceBlock{static_cast<const uint8_t*>(data), size};
    }
    return true;
}

}  // namespace platform
