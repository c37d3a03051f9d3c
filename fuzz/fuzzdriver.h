#pragma once
// Stand-alone driver for a fuzz target when libFuzzer is not used: replays the files named
// on the command line, or mutates the target's seeds for TARVELO_FUZZ_ROUNDS rounds with a
// fixed random seed, so a failure can be reproduced by running the program again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
std::vector<std::string> fuzzSeeds();

#ifdef TARVELO_LIBFUZZER
// libFuzzer starts from the corpus folders it is given, not from code: with
// TARVELO_FUZZ_SEED_DIR set, the built-in seeds are written there first (scripts/fuzz.sh
// passes that folder as the first corpus).
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const char *dir = std::getenv("TARVELO_FUZZ_SEED_DIR");
    if (!dir)
        return 0;
    const std::vector<std::string> seeds = fuzzSeeds();
    for (size_t i = 0; i < seeds.size(); ++i) {
        std::ofstream out(std::string(dir) + "/builtin-seed-" + std::to_string(i), std::ios::binary);
        out.write(seeds[i].data(), std::streamsize(seeds[i].size()));
    }
    return 0;
}
#else
namespace FuzzDriver {

inline std::string mutate(std::string s, const std::vector<std::string> &seeds, std::mt19937 &rng)
{
    const int edits = 1 + int(rng() % 8);
    for (int e = 0; e < edits; ++e) {
        const size_t at = s.empty() ? 0 : rng() % (s.size() + 1);
        switch (rng() % 6) {
        case 0: // flip a byte
            if (!s.empty())
                s[at % s.size()] = char(rng());
            break;
        case 1: // insert a few random bytes
            s.insert(at, std::string(1 + rng() % 4, char(rng())));
            break;
        case 2: // cut a piece
            if (!s.empty())
                s.erase(at % s.size(), 1 + rng() % 16);
            break;
        case 3: { // splice in a piece of another seed
            const std::string &o = seeds[rng() % seeds.size()];
            if (!o.empty()) {
                const size_t from = rng() % o.size();
                s.insert(at, o.substr(from, 1 + rng() % 64));
            }
            break;
        }
        case 4: // repeat a piece
            if (!s.empty()) {
                const size_t from = at % s.size();
                s.insert(at, s.substr(from, 1 + rng() % 32));
            }
            break;
        default: // truncate
            s.resize(at);
            break;
        }
    }
    return s;
}

} // namespace FuzzDriver

int main(int argc, char **argv)
{
    if (argc > 1) {
        // Files, or folders of them (the regression inputs).
        std::vector<std::string> files;
        for (int i = 1; i < argc; ++i) {
            if (std::filesystem::is_directory(argv[i])) {
                for (const auto &entry : std::filesystem::directory_iterator(argv[i]))
                    if (entry.is_regular_file())
                        files.push_back(entry.path().string());
            } else {
                files.push_back(argv[i]);
            }
        }
        for (const std::string &file : files) {
            std::ifstream in(file, std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
        }
        std::printf("%zu inputs replayed: no fault\n", files.size());
        return 0;
    }
    const char *env = std::getenv("TARVELO_FUZZ_ROUNDS");
    const long rounds = env ? std::strtol(env, nullptr, 10) : 2000;
    const std::vector<std::string> seeds = fuzzSeeds();
    std::mt19937 rng(20261207);
    for (const std::string &seed : seeds)
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(seed.data()), seed.size());
    for (long r = 0; r < rounds; ++r) {
        const std::string input = FuzzDriver::mutate(seeds[rng() % seeds.size()], seeds, rng);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.data()), input.size());
    }
    std::printf("%ld rounds over %zu seeds: no fault\n", rounds, seeds.size());
    return 0;
}
#endif
