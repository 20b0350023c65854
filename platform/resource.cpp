#include "platform/resource.h"

#include <cstring>

namespace platform {

namespace {

bool SameText(const char* a, const char* b) {
    return a != nullptr && b != nullptr && std::strcmp(a, b) == 0;
}

bool Found(const ResourceEntry& entry, ResourceBlock* block) {
    if (block != nullptr) {
        *block = ResourceBlock{entry.data, entry.size};
    }
    return true;
}

}  // namespace

bool ResourceFindById(const Module* module, const char* type, int id, ResourceBlock* block) {
    if (module == nullptr || type == nullptr) {
        return false;
    }
    if (module->find != nullptr) {
        return module->find(type, id, nullptr, block);
    }
    for (size_t i = 0; i < module->count; ++i) {
        const ResourceEntry& entry = module->entries[i];
        if (entry.name == nullptr && entry.id == id && SameText(entry.type, type)) {
            return Found(entry, block);
        }
    }
    return false;
}

bool ResourceFindByName(const Module* module, const char* type, const char* name,
                        ResourceBlock* block) {
    if (module == nullptr || type == nullptr || name == nullptr) {
        return false;
    }
    if (module->find != nullptr) {
        return module->find(type, 0, name, block);
    }
    for (size_t i = 0; i < module->count; ++i) {
        const ResourceEntry& entry = module->entries[i];
        if (SameText(entry.name, name) && SameText(entry.type, type)) {
            return Found(entry, block);
        }
    }
    return false;
}

}  // namespace platform
