// The main of a replay program: runs the fuzz target it is linked with once over every file of
// the folders (and over the files) named on the command line, in name order. A crash, or a
// sanitizer report in a sanitizer build, ends the run with the failing file named just before it.
// A folder without a single input fails too, so that a lost corpus cannot pass as a clean one.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputs_of(const fs::path &argument) {
    if (!fs::is_directory(argument)) {
        return {argument};
    }
    std::vector<fs::path> files;
    for (const fs::directory_entry &entry : fs::directory_iterator(argument)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Each input in a heap block of exactly its size, as libFuzzer gives it, so that the address
// sanitizer sees a read one byte beyond.
bool replay(const fs::path &file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return false;
    }
    std::ostringstream contents;
    contents << in.rdbuf();
    const std::string bytes = std::move(contents).str();
    auto data = std::make_unique<uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), data.get());
    std::fprintf(stderr, "Running: %s\n", file.c_str());
    LLVMFuzzerTestOneInput(data.get(), bytes.size());
    return true;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER_OR_FILE...\n", argv[0]);
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        const std::vector<fs::path> files = inputs_of(argv[i]);
        if (files.empty()) {
            std::fprintf(stderr, "%s holds no inputs\n", argv[i]);
            return 1;
        }
        for (const fs::path &file : files) {
            if (!replay(file)) {
                return 1;
            }
        }
        std::printf("%zu inputs of %s replayed\n", files.size(), argv[i]);
    }
    return 0;
}
