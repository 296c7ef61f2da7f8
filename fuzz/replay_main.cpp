// Without libFuzzer a target is this program: it runs the target once on each file named, or on each file
// of each folder named, and so replays a kept corpus as a test. "--shard K/N" first runs only every N-th
// input from the K-th (in name order), so that the tests can replay a large corpus in parallel.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> inputs;
    std::size_t shard = 0;
    std::size_t shards = 1;
    int first = 1;
    if (argc > 2 && std::string(argv[1]) == "--shard") {
        if (std::sscanf(argv[2], "%zu/%zu", &shard, &shards) != 2 || shards == 0 || shard >= shards) {
            std::fprintf(stderr, "%s: --shard K/N with K < N\n", argv[0]);
            return 2;
        }
        first = 3;
    }
    for (int i = first; i < argc; ++i) {
        const std::filesystem::path arg(argv[i]);
        if (std::filesystem::is_directory(arg)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(arg))
                if (entry.is_regular_file())
                    inputs.push_back(entry.path());
        } else {
            inputs.push_back(arg);
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "usage: %s <input file or folder>...\n", argv[0]);
        return 2;
    }
    std::sort(inputs.begin(), inputs.end());
    std::vector<std::filesystem::path> mine;
    for (std::size_t i = shard; i < inputs.size(); i += shards)
        mine.push_back(inputs[i]);
    for (const std::filesystem::path& path : mine) {
        std::ifstream in(path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return 2;
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs replayed\n", mine.size());
    return 0;
}
