#include "key_batches.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace {

// A batch's keys take at most this much text: a file of long keys makes smaller batches.
const std::size_t BatchTextLimit = std::size_t{4} << 20;

}  // namespace

KeyBatches::KeyBatches(const ToolOptions& given, int threads, std::uint64_t dryLimit) : options(given)
{
    for (int t = 0; t < std::max(threads, 1); ++t)
        namers.emplace_back(new norvathel::KeyNamer(options.style, options.gender, options.prefix,
                                                    options.constraints, options.fullNames, dryLimit));
    // A system that will not start another thread gets the keys named on fewer.
    for (std::size_t t = 1; t < namers.size(); ++t) {
        try {
            workers.emplace_back(&KeyBatches::Work, this, t);
        } catch (const std::system_error&) {
            namers.resize(t);
            break;
        }
    }
}

KeyBatches::~KeyBatches()
{
    {
        std::lock_guard<std::mutex> held(lock);
        stopping = true;
    }
    batchStarted.notify_all();
    for (std::thread& worker : workers)
        worker.join();
}

bool KeyBatches::Next(LineReader& keys)
{
    current->named = 0;
    if (naming == nullptr) {  // the first batch
        if (ended || !Read(keys, batches[0])) {
            ended = true;
            return false;
        }
        Start(batches[0]);
    }
    Batch& done = *naming;
    Batch& next = &done == &batches[0] ? batches[1] : batches[0];
    // The next batch is read while this one is named; a name that runs dry ends the run.
    const bool more = Read(keys, next);
    Finish(done);
    ended = !more || ranDry;
    if (!ended)
        Start(next);
    current = &done;
    return true;
}

bool KeyBatches::Read(LineReader& keys, Batch& batch)
{
    batch.text.clear();
    batch.entries.clear();
    const char* key;
    std::size_t length;
    static_assert(LongestLine <= 0xFFFF, "a key's length fits its field");
    while (batch.entries.size() < KeysPerThread * namers.size() && batch.text.size() < BatchTextLimit &&
           keys.Next(key, length)) {
        if (batch.entries.empty())
            batch.firstLine = keys.LineNumber();
        Entry entry = {};
        entry.keyAt = static_cast<std::uint32_t>(batch.text.size());
        entry.keyLength = static_cast<std::uint16_t>(length);
        batch.text.append(key, length);
        batch.entries.push_back(entry);
    }
    return !batch.entries.empty();
}

// Hands the batch to the workers, in chunks of keys in a row.
void KeyBatches::Start(Batch& batch)
{
    const std::size_t size = batch.entries.size();
    batch.chunkCount = (size + KeysPerChunk - 1) / KeysPerChunk;
    if (batch.chunks.size() < batch.chunkCount)
        batch.chunks.resize(batch.chunkCount);
    for (std::size_t c = 0; c < batch.chunkCount; ++c) {
        Chunk& chunk = batch.chunks[c];
        chunk.begin = c * KeysPerChunk;
        chunk.end = chunk.stop = std::min(size, chunk.begin + KeysPerChunk);
        chunk.failure = nullptr;
    }
    batch.taken = 0;
    naming = &batch;
    if (workers.empty())
        return;
    {
        std::lock_guard<std::mutex> held(lock);
        ++started;
        working = workers.size();
    }
    batchStarted.notify_all();
}

// Names what the workers left of the batch, waits for them, and gives the keys up to the first
// that ran dry, as one thread naming them in order would stop.
void KeyBatches::Finish(Batch& batch)
{
    NameChunks(batch, *namers[0]);
    if (!workers.empty()) {
        std::unique_lock<std::mutex> held(lock);
        batchDone.wait(held, [this] { return working == 0; });
    }
    naming = nullptr;
    composed = 0;
    for (const auto& namer : namers)
        composed += namer->Composed();
    batch.named = batch.entries.size();
    for (std::size_t c = 0; c < batch.chunkCount; ++c) {
        const Chunk& chunk = batch.chunks[c];
        if (chunk.failure)
            std::rethrow_exception(chunk.failure);
        if (chunk.stop < chunk.end) {
            batch.named = chunk.stop;
            ranDry = true;
            dryLine = batch.firstLine + chunk.stop;
            return;
        }
    }
}

NamedKey KeyBatches::operator[](std::size_t k) const
{
    const Entry& entry = current->entries[k];
    const char* name = current->chunks[k / KeysPerChunk].names.data() + entry.nameAt;
    return {current->text.data() + entry.keyAt, entry.keyLength,
            name,                               entry.length,
            static_cast<norvathel::Gender>(entry.gender),
            options.fullNames ? name + entry.length : nullptr, entry.surnameLength};
}

void KeyBatches::NameChunks(Batch& batch, norvathel::KeyNamer& namer)
{
    for (std::size_t c; (c = batch.taken.fetch_add(1, std::memory_order_relaxed)) < batch.chunkCount;)
        NameChunk(batch, batch.chunks[c], namer);
}

void KeyBatches::NameChunk(Batch& batch, Chunk& chunk, norvathel::KeyNamer& namer)
{
    static_assert(norvathel::NameSlotSize <= 0x100, "a name's length fits its field");
    // The names go into a string of this thread's own, handed to the chunk at the end: chunks
    // lie side by side, and their strings' lengths changing on every name would pass their
    // cache lines from core to core.
    std::string names;
    names.swap(chunk.names);
    names.clear();
    try {
        norvathel::StreamName name;
        for (std::size_t k = chunk.begin; k < chunk.end; ++k) {
            Entry& entry = batch.entries[k];
            const char* key = batch.text.data() + entry.keyAt;
            if (!namer.Name(KeySeedOf(options, key, entry.keyLength), name)) {
                chunk.stop = k;
                break;
            }
            entry.nameAt = static_cast<std::uint32_t>(names.size());
            entry.length = static_cast<std::uint8_t>(name.length);
            entry.gender = static_cast<std::uint8_t>(name.gender);
            names.append(name.text, static_cast<std::size_t>(name.length));
            if (name.surname != nullptr) {
                entry.surnameLength = static_cast<std::uint8_t>(name.surnameLength);
                names.append(name.surname, static_cast<std::size_t>(name.surnameLength));
            }
        }
        // The writers copy a whole slot from where a name starts: the last name has one too.
        names.append(norvathel::NameSlotSize, '\0');
    } catch (...) {
        chunk.failure = std::current_exception();
    }
    chunk.names.swap(names);
}

void KeyBatches::Work(std::size_t t)
{
    std::uint64_t seen = 0;
    for (;;) {
        Batch* batch;
        {
            std::unique_lock<std::mutex> held(lock);
            batchStarted.wait(held, [&] { return stopping || started != seen; });
            if (stopping)
                return;
            seen = started;
            batch = naming;
        }
        NameChunks(*batch, *namers[t]);
        std::lock_guard<std::mutex> held(lock);
        if (--working == 0)
            batchDone.notify_one();
    }
}
