// The resources of the Win32 build: the resource compiler's output as the
// system finds it in the test's own executable, byte for byte the files of
// the resource script, in Japanese, and only under their exact names.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/resource.h"
#include "resources/program_resources.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The script's files, as the Linux build reads them too: an integer id or a
// name, the type, the file.
struct ScriptLine {
    std::string name;
    std::string type;
    std::string file;
};

std::vector<ScriptLine> ReadScript() {
    std::ifstream in(std::string(KARIDO_RESOURCES_DIR) + "/karido.rc");
    std::vector<ScriptLine> lines;
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find("//"));
        const size_t quote = line.find('"');
        if (quote == std::string::npos || line.rfind("LANGUAGE", 0) == 0) {
            continue;
        }
        ScriptLine l;
        const size_t nameEnd = line.find_first_of(" \t");
        const size_t typeStart = line.find_first_not_of(" \t", nameEnd);
        l.name = line.substr(0, nameEnd);
        l.type = line.substr(typeStart, line.find_first_of(" \t", typeStart) - typeStart);
        l.file = line.substr(quote + 1, line.rfind('"') - quote - 1);
        lines.push_back(l);
    }
    return lines;
}

bool IsId(const std::string& name) {
    return !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
}

TEST(Win32Resources, EveryResourceOfTheScriptIsTheFileItNamesInJapanese) {
    const std::vector<ScriptLine> script = ReadScript();
    ASSERT_EQ(script.size(), 28u);
    ASSERT_EQ(programResources.count, script.size());
    ASSERT_NE(programResources.find, nullptr);
    for (const ScriptLine& l : script) {
        Bytes file = ReadFile(std::string(KARIDO_RESOURCES_DIR) + "/" + l.file);
        ASSERT_GT(file.size(), 14u) << l.file;
        if (l.type == platform::RESOURCE_BITMAP) {
            file.erase(file.begin(), file.begin() + 14);  // the block is a packed DIB
        }
        platform::ResourceBlock block{};
        const bool found =
            IsId(l.name) ? platform::ResourceFindById(&programResources, l.type.c_str(),
                                                      std::stoi(l.name), &block)
                         : platform::ResourceFindByName(&programResources, l.type.c_str(),
                                                        l.name.c_str(), &block);
        ASSERT_TRUE(found) << l.name;
        ASSERT_EQ(block.size, file.size()) << l.name;
        EXPECT_EQ(std::memcmp(block.data, file.data(), file.size()), 0) << l.name;

        // The system's own view: one language, Japanese.
        const HMODULE module = GetModuleHandleA(nullptr);
        const LPCSTR type =
            l.type == platform::RESOURCE_BITMAP ? MAKEINTRESOURCEA(2) : l.type.c_str();
        const LPCSTR name = IsId(l.name) ? MAKEINTRESOURCEA(std::stoi(l.name)) : l.name.c_str();
        std::vector<WORD> languages;
        EnumResourceLanguagesA(
            module, type, name,
            [](HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR list) -> BOOL {
                reinterpret_cast<std::vector<WORD>*>(list)->push_back(language);
                return TRUE;
            },
            reinterpret_cast<LONG_PTR>(&languages));
        EXPECT_EQ(languages, std::vector<WORD>{1041}) << l.name;
        EXPECT_NE(FindResourceExA(module, type, name, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)),
                  nullptr)
            << l.name;
    }
}

TEST(Win32Resources, LookupsFindOnlyWhatIsThereUnderItsExactNameAndType) {
    platform::ResourceBlock block{};
    const platform::Module* m = &programResources;
    EXPECT_TRUE(platform::ResourceFindById(m, platform::RESOURCE_BITMAP, 101, nullptr));
    // Ids the script does not have, and ids beyond 16 bits that would come
    // round to one it has.
    for (int id : {0, -1, 104, 128, 65536 + 101, 0x7FFFFFFF}) {
        EXPECT_FALSE(platform::ResourceFindById(m, platform::RESOURCE_BITMAP, id, &block)) << id;
    }
    // Names: exactly as written; the system would take small letters and
    // "#101" as well.
    EXPECT_TRUE(platform::ResourceFindByName(m, platform::RESOURCE_SOUND, "CANSEL", &block));
    for (const char* name : {"click", "Click", "CANCEL", "#101", "", "CLICK "}) {
        EXPECT_FALSE(platform::ResourceFindByName(m, platform::RESOURCE_SOUND, name, &block))
            << name;
    }
    EXPECT_FALSE(platform::ResourceFindByName(m, platform::RESOURCE_BITMAP, "#101", &block));
    EXPECT_FALSE(platform::ResourceFindByName(m, platform::RESOURCE_SOUND, nullptr, &block));
    // Types: a bitmap is not a sound, and type names are exact too.
    EXPECT_FALSE(platform::ResourceFindById(m, platform::RESOURCE_SOUND, 101, &block));
    EXPECT_FALSE(platform::ResourceFindByName(m, platform::RESOURCE_BITMAP, "CLICK", &block));
    EXPECT_FALSE(platform::ResourceFindByName(m, "sound", "CLICK", &block));
    EXPECT_FALSE(platform::ResourceFindByName(m, "WAVE", "CLICK", &block));
    EXPECT_FALSE(platform::ResourceFindById(m, nullptr, 101, &block));
}

}  // namespace
