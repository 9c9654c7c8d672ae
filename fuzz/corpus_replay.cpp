// Runs a fuzz target's checks on the files of its corpus once each, without libFuzzer: the
// builds that cannot link it (g++, 32-bit Linux under qemu) replay what the fuzzer found.
//   <name>_replay FOLDER_OR_FILE...
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool Replay(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "%s: cannot open\n", file.string().c_str());
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    int replayed = 0;
    for (int k = 1; k < argc; ++k) {
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(argv[k])) {
            for (const auto& entry : std::filesystem::directory_iterator(argv[k]))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
        } else {
            files.push_back(argv[k]);
        }
        for (const auto& file : files) {
            if (!Replay(file))
                return 1;
            ++replayed;
        }
    }
    // A check that fails aborts above; an empty corpus would pass without checking anything.
    std::printf("%d inputs replayed\n", replayed);
    return replayed > 0 ? 0 : 1;
}
