// --keys named on several threads: the same names, in the file's order, and the same stop at
// the first key that runs dry, however the batches and their chunks fall.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "key_batches.h"

namespace {

struct Named {
    std::vector<std::string> names;
    bool ranDry = false;
    std::uint64_t dryLine = 0;
};

// The keys, one a line, named by KeyBatches on threads threads.
Named InBatches(const std::vector<std::string>& keys, const ToolOptions& options, int threads,
                std::uint64_t dryLimit)
{
    std::FILE* file = std::tmpfile();
    for (const std::string& key : keys)
        std::fprintf(file, "%s\n", key.c_str());
    std::rewind(file);
    Named named;
    {
        LineReader reader(file, LongestLine);
        KeyBatches batches(options, threads, dryLimit);
        while (batches.Next(reader))
            for (std::size_t k = 0; k < batches.Size(); ++k)
                named.names.emplace_back(batches[k].name, static_cast<std::size_t>(batches[k].length));
        EXPECT_EQ(reader.Problem(), "");
        named.ranDry = batches.RanDry();
        named.dryLine = batches.DryLine();
    }
    std::fclose(file);
    return named;
}

// The same keys named one after another by one namer, as the tool did before it had threads.
Named InOrder(const std::vector<std::string>& keys, const ToolOptions& options, std::uint64_t dryLimit)
{
    norvathel::KeyNamer namer(options.style, options.gender, options.prefix, options.constraints,
                              options.fullNames, dryLimit);
    Named named;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        norvathel::StreamName name;
        if (!namer.Name(norvathel::KeySeed(keys[k].data(), keys[k].size()), name)) {
            named.ranDry = true;
            named.dryLine = k + 1;
            break;
        }
        named.names.emplace_back(name.text);
    }
    return named;
}

}  // namespace

TEST(KeyBatches, AnyNumberOfThreadsNamesAsOneNamerInOrder)
{
    // Several batches on every count of threads, the last one short.
    std::vector<std::string> keys;
    for (int k = 0; k < 70000; ++k)
        keys.push_back("npc-" + std::to_string(k));
    ToolOptions options;
    const Named expected = InOrder(keys, options, 1000);
    ASSERT_FALSE(expected.ranDry);
    for (int threads : {1, 2, 3, 8}) {
        const Named named = InBatches(keys, options, threads, 1000);
        EXPECT_FALSE(named.ranDry);
        EXPECT_TRUE(named.names == expected.names) << threads << " threads";
    }
}

TEST(KeyBatches, TheFirstKeyToRunDryEndsTheNamesWhereverItFalls)
{
    // With a limit of one name, a key runs dry when its first name is longer than six letters.
    // Among keys that do not, one that does is put at places early, in the middle and at the
    // ends of chunks and batches, with more that run dry after it, in its chunk and later.
    ToolOptions options;
    options.constraints.maxLength = 6;
    const std::uint64_t limit = 1;
    std::vector<std::string> good, dry;
    norvathel::KeyNamer namer(options.style, options.gender, options.prefix, options.constraints, false, limit);
    for (int k = 0; good.size() < 50000 || dry.size() < 4; ++k) {
        const std::string key = "k" + std::to_string(k);
        norvathel::StreamName name;
        (namer.Name(norvathel::KeySeed(key.data(), key.size()), name) ? good : dry).push_back(key);
    }
    const std::size_t chunk = KeyBatches::KeysPerChunk;
    for (std::size_t at : {std::size_t{0}, chunk - 1, 3 * chunk + 517, 2 * KeyBatches::KeysPerThread,
                           4 * KeyBatches::KeysPerThread + chunk / 2, good.size() - 3}) {
        std::vector<std::string> keys = good;
        const std::size_t places[] = {at, at + 1, at + 2 + chunk, at + 3 + 3 * chunk};
        for (std::size_t k = 0; k < 4; ++k)
            keys.insert(keys.begin() + static_cast<std::ptrdiff_t>(std::min(places[k], keys.size())), dry[k]);
        const Named expected = InOrder(keys, options, limit);
        ASSERT_TRUE(expected.ranDry);
        ASSERT_EQ(expected.dryLine, at + 1);
        for (int threads : {1, 2, 5}) {
            const Named named = InBatches(keys, options, threads, limit);
            EXPECT_TRUE(named.ranDry);
            EXPECT_EQ(named.dryLine, expected.dryLine) << threads << " threads, dry at " << at;
            EXPECT_TRUE(named.names == expected.names) << threads << " threads, dry at " << at;
        }
    }
}
