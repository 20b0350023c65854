// Replays fuzz inputs through a fuzz target's LLVMFuzzerTestOneInput, without
// libFuzzer: every file named on the command line and every file of every
// folder named there, in name order. Each input is handed over in a heap
// block of exactly its size, so that AddressSanitizer reports a read even one
// byte past its end. Fails when a path cannot be read or nothing was
// replayed, so that a lost corpus does not pass as a clean run.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <system_error>
#include <vector>

#include "tests/fuzz/fuzz_input.h"

namespace {

namespace fs = std::filesystem;

bool ReadFile(const fs::path& path, std::vector<uint8_t>* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool CollectInputs(const char* argument, std::vector<fs::path>* inputs) {
    const fs::path path(argument);
    std::error_code error;
    if (fs::is_regular_file(path, error)) {
        inputs->push_back(path);
        return true;
    }
    if (!fs::is_directory(path, error)) {
        std::fprintf(stderr, "replay: %s is neither a file nor a folder\n", argument);
        return false;
    }
    std::vector<fs::path> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(path, error)) {
        if (entry.is_regular_file(error)) {
            found.push_back(entry.path());
        }
    }
    if (error) {
        std::fprintf(stderr, "replay: cannot list %s: %s\n", argument, error.message().c_str());
        return false;
    }
    std::sort(found.begin(), found.end());
    inputs->insert(inputs->end(), found.begin(), found.end());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <corpus folder or input file>...\n", argv[0]);
        return 2;
    }
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (!CollectInputs(argv[i], &inputs)) {
            return 1;
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "replay: no inputs found\n");
        return 1;
    }
    std::vector<uint8_t> bytes;
    for (const fs::path& input : inputs) {
        if (!ReadFile(input, &bytes)) {
            std::fprintf(stderr, "replay: cannot read %s\n", input.c_str());
            return 1;
        }
        // Named before it runs: a failing input ends the process.
        std::fprintf(stderr, "replay: %s (%zu bytes)\n", input.c_str(), bytes.size());
        const auto block = std::make_unique<uint8_t[]>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), block.get());
        LLVMFuzzerTestOneInput(block.get(), bytes.size());
    }
    std::printf("replayed %zu inputs\n", inputs.size());
    return 0;
}
