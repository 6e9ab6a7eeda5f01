// Runs a fuzz target over every file of its seed corpus plus a fixed set of pseudo-random
// mutations of them, so that ctest exercises each reader without libFuzzer.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    std::vector<std::string> seeds;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path p(argv[i]);
        if (std::filesystem::is_directory(p)) {
            for (const auto& e : std::filesystem::recursive_directory_iterator(p))
                if (e.is_regular_file()) {
                    std::ifstream f(e.path(), std::ios::binary);
                    seeds.emplace_back(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
                }
        } else if (std::filesystem::is_regular_file(p)) {
            std::ifstream f(p, std::ios::binary);
            seeds.emplace_back(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
        }
    }
    seeds.emplace_back();
    std::mt19937 rng(12345);
    std::size_t runs = 0;
    for (const std::string& s : seeds) {
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
        ++runs;
        for (int m = 0; m < 200; ++m) {
            std::string t = s;
            int edits = 1 + static_cast<int>(rng() % 8);
            for (int k = 0; k < edits; ++k) {
                switch (rng() % 4) {
                case 0: // flip a byte
                    if (!t.empty())
                        t[rng() % t.size()] = static_cast<char>(rng());
                    break;
                case 1: // insert a byte
                    t.insert(t.begin() + static_cast<long>(t.empty() ? 0 : rng() % t.size()),
                             static_cast<char>(rng()));
                    break;
                case 2: // cut the tail
                    if (!t.empty())
                        t.resize(rng() % t.size());
                    break;
                default: // duplicate a slice
                    if (t.size() > 2) {
                        std::size_t a = rng() % t.size(), n = rng() % (t.size() - a);
                        t.insert(a, t.substr(a, n));
                    }
                }
            }
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(t.data()), t.size());
            ++runs;
        }
    }
    std::printf("%zu inputs run\n", runs);
    return 0;
}
