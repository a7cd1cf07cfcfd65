// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds every file of the given folders (or the given files) to the fuzz entry once.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

static void RunFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

int main(int argc, char** argv) {
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg(argv[i]);
        if (!fs::exists(arg)) {
            std::fprintf(stderr, "missing corpus %s\n", argv[i]);
            return 1;
        }
        if (fs::is_directory(arg)) {
            for (const auto& e : fs::recursive_directory_iterator(arg))
                if (e.is_regular_file()) {
                    RunFile(e.path());
                    ++count;
                }
        } else {
            RunFile(arg);
            ++count;
        }
    }
    std::printf("replayed %d inputs\n", count);
    return 0;
}
