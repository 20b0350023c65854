// The program's resources as a table of entries that hold their bytes, on
// every build (the Win32 build's module only lists them and asks the system
// for the bytes): a test that damages a resource or leaves one out makes a
// module of its own from this table.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/resource.h"
#include "resources/program_resources.h"

namespace testing_resources {

inline std::vector<platform::ResourceEntry> ProgramResourceTable() {
    std::vector<platform::ResourceEntry> table;
    for (size_t i = 0; i < programResources.count; ++i) {
        platform::ResourceEntry entry = programResources.entries[i];
        platform::ResourceBlock block{};
        const bool found =
            entry.name != nullptr
                ? platform::ResourceFindByName(&programResources, entry.type, entry.name, &block)
                : platform::ResourceFindById(&programResources, entry.type, entry.id, &block);
        if (!found) {
            // A listed resource the lookup cannot find would make every
            // module built from this table lack it for the wrong reason.
            ADD_FAILURE() << "the program's resources list " << entry.type << " "
                          << (entry.name != nullptr ? entry.name : std::to_string(entry.id))
                          << ", which the lookup does not find";
            continue;
        }
        entry.data = block.data;
        entry.size = block.size;
        table.push_back(entry);
    }
    return table;
}

}  // namespace testing_resources
