// norvathel._native: the composer for Python. Options are read and checked by the tool's own
// option actions, so that a Python call and the same norvathel-names command line give the same
// names or the same refusal; the Python layer (norvathel/__init__.py) only gives them keywords.
//
// A batch composes with the GIL released into a buffer of bytes; the strings are made from it
// afterwards, with the GIL held, a block at a time.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#if __has_include(<unistd.h>)
#include <unistd.h>  // sysconf: the machine's memory
#endif

#include <norvathel/name_stream.h>
#include <norvathel/style.h>
#include <norvathel/style_learning.h>

// The tool's option table, its value parsers, its cross-option checks and every message they
// word, compiled into this module from the tool's own source: its functions sit in an unnamed
// namespace, which this file then shares. Nothing here words a refusal the tool words.
#include "tool_options.cpp"

#ifndef NORVATHEL_PYTHON_VERSION
#error "NORVATHEL_PYTHON_VERSION: the package's version, set by the build"
#endif

namespace py = pybind11;

namespace norvathel_python {

// --- messages -------------------------------------------------------------------------------

// The tool's options as the Python functions spell them: the one place where the tool's words
// become Python's. Every message the tool's code words passes through PythonWording.
const std::pair<const char*, const char*> PythonSpellings[] = {
    {"--seed", "seed"},
    {"--clock", "clock"},
    {"--male", "gender='male'"},
    {"--female", "gender='female'"},
    {"--prefix", "prefix"},
    {"--style", "style"},
    {"--full", "full"},
    {"--count", "count"},
    {"--unique", "unique"},
    {"--min-length", "min_length"},
    {"--max-length", "max_length"},
    {"--ends-with", "ends_with"},
    {"--exclude", "exclude"},
    {"--exclude-names", "exclude_names"},
    {"--keys", "keys"},
    {"--boards", "boards"},
    {"--list-styles", "norvathel.styles()"},
};

// Each "--option" of the table, matched whole (so "--exclude" never eats "--exclude-names"),
// replaced by its Python spelling.
std::string PythonWording(const std::string& text)
{
    std::string worded;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text.compare(at, 2, "--") != 0) {
            worded += text[at++];
            continue;
        }
        std::size_t end = at + 2;
        while (end < text.size() && ((text[end] >= 'a' && text[end] <= 'z') || text[end] == '-'))
            ++end;
        const std::string option = text.substr(at, end - at);
        const char* spelling = nullptr;
        for (const auto& entry : PythonSpellings)
            if (option == entry.first)
                spelling = entry.second;
        worded += spelling ? std::string(spelling) : option;
        at = end;
    }
    return worded;
}

// The exception classes live in norvathel/_errors.py; looked up once, kept for the process.
struct ErrorTypes {
    py::handle base, impossible, ranDry, style;
};
ErrorTypes& Errors()
{
    static ErrorTypes types;
    return types;
}

[[noreturn]] void Raise(py::handle type, const py::tuple& arguments)
{
    py::object error = type(*arguments);
    PyErr_SetObject(type.ptr(), error.ptr());
    throw py::error_already_set();
}

[[noreturn]] void Refuse(const std::string& problem)
{
    Raise(Errors().base, py::make_tuple(PythonWording(problem)));
}

[[noreturn]] void RaiseStyleError(const norvathel::StyleError& error)
{
    Raise(Errors().style,
          py::make_tuple(PythonWording(error.Text()), error.source, error.line, error.column, error.message));
}

void Check(ParseOutcome outcome, const std::string& problem)
{
    if (outcome != ParseOutcome::Run)
        Refuse(problem);
}

[[noreturn]] void WrongType(const char* what, const char* expected, py::handle value)
{
    throw py::type_error(std::string(what) + " must be " + expected + ", not " +
                         py::str(py::type::of(value).attr("__name__")).cast<std::string>());
}

// A str's UTF-8 bytes (lone surrogates from surrogateescape give back their bytes).
std::string Utf8(py::handle text, const char* what)
{
    if (!PyUnicode_Check(text.ptr()))
        WrongType(what, "a str", text);
    PyObject* bytes = PyUnicode_AsEncodedString(text.ptr(), "utf-8", "surrogateescape");
    if (bytes == nullptr)
        throw py::error_already_set();
    std::string value(PyBytes_AS_STRING(bytes), static_cast<std::size_t>(PyBytes_GET_SIZE(bytes)));
    Py_DECREF(bytes);
    return value;
}

// A name's bytes as a str: ASCII copied straight into a new string, anything else decoded (a
// window session's prefix cut at 31 bytes may split a character: surrogateescape keeps its bytes).
PyObject* NameString(const char* text, std::size_t length)
{
    std::size_t index = 0;
    while (index < length && static_cast<unsigned char>(text[index]) < 0x80)
        ++index;
    if (index < length)
        return PyUnicode_DecodeUTF8(text, static_cast<Py_ssize_t>(length), "surrogateescape");
    PyObject* name = PyUnicode_New(static_cast<Py_ssize_t>(length), 127);
    if (name != nullptr)
        std::memcpy(PyUnicode_1BYTE_DATA(name), text, length);
    return name;
}

py::object Steal(PyObject* object)
{
    if (object == nullptr)
        throw py::error_already_set();
    return py::reinterpret_steal<py::object>(object);
}

// An int's decimal text, for the tool's parsers; bools are refused (True is no seed).
std::optional<std::string> IntegerText(py::handle value)
{
    if (PyBool_Check(value.ptr()) || !PyIndex_Check(value.ptr()))
        return std::nullopt;
    py::object number = Steal(PyNumber_Index(value.ptr()));
    return py::str(number).cast<std::string>();
}

// A seed as --seed (or --clock, with option "--clock") reads it: an int from 0 to 2^64 - 1, or a
// str (digits only are a number, any other text a word's FNV-1a hash).
std::uint64_t ReadSeed(py::handle value, const char* option)
{
    std::uint64_t seed = 0;
    std::string problem;
    if (std::optional<std::string> digits = IntegerText(value)) {
        // A negative int is refused as a number; as text, "-1" would be a word.
        const bool read = (*digits)[0] == '-' ? ParseCount(option, digits->c_str(), seed, problem)
                                              : ParseSeed(option, digits->c_str(), seed, problem);
        if (!read)
            Refuse(problem);
        return seed;
    }
    if (!PyUnicode_Check(value.ptr()))
        WrongType(option + 2, "an int or a str", value);
    const std::string word = Utf8(value, "seed");
    // No command line holds a NUL byte; the rule (the FNV-1a hash of the bytes) still does.
    if (word.find('\0') != std::string::npos)
        return norvathel::KeySeed(word.data(), word.size());
    if (!ParseSeed(option, word.c_str(), seed, problem))
        Refuse(problem);
    return seed;
}

// A count as --count reads it.
std::uint64_t ReadCount(py::handle value)
{
    const std::optional<std::string> digits = IntegerText(value);
    if (!digits)
        WrongType("count", "an int", value);
    std::uint64_t count = 0;
    std::string problem;
    if (!ParseCount("--count", digits->c_str(), count, problem))
        Refuse(problem);
    return count;
}

// %XX escapes for the tool's parsers, which decode them: '%', the list separator ',' and NUL
// (refused by the decoder, in its words) stand for themselves in Python's strings.
std::string Escaped(const std::string& text)
{
    static const char Hex[] = "0123456789ABCDEF";
    std::string escaped;
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '%' || c == ',' || c == '\0') {
            escaped += '%';
            escaped += Hex[byte >> 4];
            escaped += Hex[byte & 15];
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::vector<std::string> ReadTexts(py::handle values, const char* what)
{
    if (PyUnicode_Check(values.ptr()) || PyBytes_Check(values.ptr()))
        WrongType(what, "a sequence of str", values);
    std::vector<std::string> texts;
    for (py::handle value : py::iter(py::reinterpret_borrow<py::object>(values)))
        texts.push_back(Utf8(value, what));
    return texts;
}

// --- styles ---------------------------------------------------------------------------------

norvathel::Style BuiltInStyle(const std::string& name)
{
    norvathel::Style style;
    if (!norvathel::Style::BuiltIn(name, style))
        Refuse("--style " + Quoted(name.c_str()) + " is no built-in style (see --list-styles)");
    return style;
}

norvathel::Style StyleFromToml(const std::string& text, const std::string& source)
{
    norvathel::Style style;
    norvathel::StyleError error;
    if (!norvathel::Style::FromText(text, source, style, error))
        RaiseStyleError(error);
    return style;
}

// As --style FILE reads it: opened by its UTF-8 name, at most MaxStyleBytes.
norvathel::Style StyleFromPath(const std::string& path)
{
    norvathel::Style style;
    norvathel::StyleError error;
    if (!StyleFromFile(path.c_str(), style, error))
        RaiseStyleError(error);
    return style;
}

// --- a request: one call's options, read and checked as the tool reads its command line ----

struct Request {
    ToolOptions options;
    bool keys = false;
    std::unique_ptr<norvathel::KeyNamer> namer;  // name_for's, made on first use
};

const std::uint64_t DryLimit = norvathel::NameStream::DefaultDryLimit;

std::shared_ptr<Request> MakeRequest(py::handle seed, py::handle gender, py::handle prefix, py::handle style,
                                     bool full, bool unique, py::handle minLength, py::handle maxLength,
                                     py::handle endsWith, py::handle exclude, py::handle excludeNames, bool keys,
                                     py::handle clock)
{
    auto request = std::make_shared<Request>();
    ToolOptions& options = request->options;
    std::string problem;
    if (!seed.is_none())
        options.seed = ReadSeed(seed, "--seed");
    // The program's own seeding, as --clock: only the low 30 bits count.
    if (!clock.is_none())
        options.clock = ReadSeed(clock, "--clock");
    if (!gender.is_none()) {
        const std::string text = PyUnicode_Check(gender.ptr()) ? Utf8(gender, "gender") : std::string();
        if (text == "male")
            Check(SetMale("--male", nullptr, options, problem), problem);
        else if (text == "female")
            Check(SetFemale("--female", nullptr, options, problem), problem);
        else if (text == "neutral")
            Check(SetNeutral("--neutral", nullptr, options, problem), problem);
        else if (PyUnicode_Check(gender.ptr()))
            Refuse("gender must be 'male', 'female', 'neutral' or None, not " + Quoted(text.c_str()));
        else
            WrongType("gender", "'male', 'female', 'neutral' or None", gender);
    }
    const std::string prefixText = Utf8(prefix, "prefix");
    if (!prefixText.empty()) {
        if (prefixText.find('\0') != std::string::npos && !RefuseControlBytes("--prefix", prefixText, problem))
            Refuse(problem);
        Check(SetPrefix("--prefix", prefixText.c_str(), options, problem), problem);
    }
    if (PyUnicode_Check(style.ptr())) {
        // A name or a file, as --style takes them.
        const std::string name = Utf8(style, "style");
        if (name.find('\0') != std::string::npos)
            Refuse("--style " + Quoted(name.c_str()) + " is no built-in style (see --list-styles)");
        Check(SetStyle("--style", name.c_str(), options, problem), problem);
    } else if (!style.is_none()) {
        if (!py::isinstance<norvathel::Style>(style))
            WrongType("style", "a Style, a str or None", style);
        options.style = style.cast<norvathel::Style>();
    }
    options.fullNames = full;
    if (unique)
        SetUnique("--unique", nullptr, options, problem);
    if (!minLength.is_none()) {
        const std::optional<std::string> digits = IntegerText(minLength);
        if (!digits)
            WrongType("min_length", "an int or None", minLength);
        Check(SetMinLength("--min-length", digits->c_str(), options, problem), problem);
    }
    if (!maxLength.is_none()) {
        const std::optional<std::string> digits = IntegerText(maxLength);
        if (!digits)
            WrongType("max_length", "an int or None", maxLength);
        Check(SetMaxLength("--max-length", digits->c_str(), options, problem), problem);
    }
    if (!endsWith.is_none())
        Check(SetEndsWith("--ends-with", Escaped(Utf8(endsWith, "ends_with")).c_str(), options, problem), problem);
    const std::vector<std::string> pieces = ReadTexts(exclude, "exclude");
    if (!pieces.empty()) {
        std::string list;
        for (std::size_t index = 0; index < pieces.size(); ++index)
            list += (index == 0 ? "" : ",") + Escaped(pieces[index]);
        Check(SetExclude("--exclude", list.c_str(), options, problem), problem);
    }
    std::vector<std::string> names = ReadTexts(excludeNames, "exclude_names");
    if (!names.empty()) {
        // As the lines of an --exclude-names file: empty ones left out.
        options.constraintOrder.push_back(ConstraintOption::ExcludeNames);
        for (std::string& name : names)
            if (!name.empty())
                options.constraints.excludeNames.push_back(std::move(name));
    }
    request->keys = keys;
    if (keys) {
        options.keys = "-";
        if (const char* conflict = KeysConflict(options))
            Refuse(conflict);
    }
    // What no name can meet is refused before anything is composed, as the tool refuses it.
    if (!CheckCombination(options, problem))
        Raise(Errors().impossible, py::make_tuple(PythonWording(problem)));
    return request;
}

// --- batches --------------------------------------------------------------------------------

// Names composed without the GIL: their bytes one after another, each name's end, and for
// pairs the end of each given name.
struct Batch {
    std::vector<char> text;
    std::vector<std::uint32_t> ends;
    std::vector<std::uint32_t> givenEnds;

    void Clear()
    {
        text.clear();
        ends.clear();
        givenEnds.clear();
    }
    // The name as the tool writes it: "Given Surname", or the given name alone.
    void Add(const norvathel::StreamName& name)
    {
        text.insert(text.end(), name.text, name.text + name.length);
        givenEnds.push_back(static_cast<std::uint32_t>(text.size()));
        if (name.surname) {
            text.push_back(' ');
            text.insert(text.end(), name.surname, name.surname + name.surnameLength);
        }
        ends.push_back(static_cast<std::uint32_t>(text.size()));
    }
};

// How a batch becomes Python objects: "Given Surname" (or the given name alone) as one str, or
// (given, surname) pairs.
enum class Shape { Text, Pairs };

// Appends the batch's names to list, as its shape says; with at, stores them from list[*at] on
// instead (a list made at its full length, its slots still empty).
void Emit(const Batch& batch, Shape shape, py::list& list, Py_ssize_t* at = nullptr)
{
    std::uint32_t start = 0;
    for (std::size_t index = 0; index < batch.ends.size(); ++index) {
        const std::uint32_t end = batch.ends[index];
        py::object item;
        if (shape == Shape::Pairs) {
            const std::uint32_t given = batch.givenEnds[index];
            // The surname follows its given name and one space.
            item = py::make_tuple(Steal(NameString(batch.text.data() + start, given - start)),
                                  Steal(NameString(batch.text.data() + given + 1, end - given - 1)));
        } else {
            item = Steal(NameString(batch.text.data() + start, end - start));
        }
        if (at != nullptr)
            PyList_SET_ITEM(list.ptr(), (*at)++, item.release().ptr());
        else if (PyList_Append(list.ptr(), item.ptr()) != 0)
            throw py::error_already_set();
        start = end;
    }
}

// Refuses, with a MemoryError, a count whose list could never fit in this machine's memory: a
// list of names costs about NameBytes a name (the str object and its slot in the list).
// Counts that fit are composed, and a list that still runs out of memory raises MemoryError
// too.
void RefuseBeyondMemory(std::uint64_t count)
{
#if defined(_SC_PHYS_PAGES) && defined(_SC_PAGESIZE)
    const std::uint64_t NameBytes = 72;
    const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return;
    const std::uint64_t memory = static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
    if (count > memory / NameBytes) {
        PyErr_Format(PyExc_MemoryError, "%llu names need about %llu MiB, more than the %llu MiB of this machine",
                     static_cast<unsigned long long>(count),
                     static_cast<unsigned long long>(count > UINT64_MAX / NameBytes ? UINT64_MAX >> 20 : count * NameBytes >> 20),
                     static_cast<unsigned long long>(memory >> 20));
        throw py::error_already_set();
    }
#else
    (void)count;  // no portable way to ask: a list too long for memory raises MemoryError as it grows
#endif
}

// Names per batch: large enough that releasing the GIL costs nothing per name, small enough
// that the bytes stay in the cache and Ctrl-C is seen at once.
const std::uint64_t BatchNames = 4096;

// A stream of names: the tool's --seed stream, with its constraints. One thread at a time: a
// second thread that calls it while a batch composes gets a RuntimeError, never a torn stream.
class Stream {
public:
    Stream(std::shared_ptr<Request> made, std::uint64_t seed, Shape shapeMade)
        : request(std::move(made)),
          startSeed(seed),
          shape(shapeMade),
          names(request->options.style, StartingGenerator(request->options, seed), request->options.gender,
                request->options.prefix, request->options.constraints, request->options.fullNames)
    {
    }

    std::uint64_t Seed() const { return startSeed; }
    bool Dry() const { return names.RanDry(); }
    std::uint64_t Made() const { return names.Kept(); }

    // Up to count names into list, the GIL released while each batch composes; false when the
    // stream ran dry first.
    //
    // Two threads share the work of a long list: while this one makes the strings of a batch
    // (which needs the GIL), a worker composes the next batch (which needs only the stream).
    // The stream is touched by one thread at a time: the worker runs between its start and
    // its join, and this thread reads only the finished batch meanwhile.
    bool Fill(std::uint64_t count, py::list& list)
    {
        RefuseBeyondMemory(count);
        Busy guard(*this);
        // The list at its full length from the start (no growing), cut to the names made if
        // the stream runs dry.
        PyObject* slots = PyList_New(static_cast<Py_ssize_t>(count));
        if (slots == nullptr)
            throw py::error_already_set();
        list = py::reinterpret_steal<py::list>(slots);
        Py_ssize_t filled = 0;
        struct Cut {
            py::list& names;
            Py_ssize_t& made;
            ~Cut()
            {
                if (made < PyList_GET_SIZE(names.ptr()))
                    PyList_SetSlice(names.ptr(), made, PyList_GET_SIZE(names.ptr()), nullptr);
            }
        } cut{list, filled};
        Batch current, next;
        std::uint64_t made = 0;
        bool more;
        {
            py::gil_scoped_release unlocked;
            more = Compose(current, std::min(BatchNames, count));
        }
        for (;;) {
            const std::uint64_t after = made + current.ends.size();
            const std::uint64_t want = more ? std::min(BatchNames, count - after) : 0;
            bool nextMore = more;
            std::exception_ptr failure;
            std::thread worker;
            if (want > 0) {
                try {
                    worker = std::thread([&] {
                        try {
                            nextMore = Compose(next, want);
                        } catch (...) {
                            failure = std::current_exception();
                        }
                    });
                } catch (const std::system_error&) {
                    // No thread to be had: the next batch is composed after this one's strings.
                }
            }
            // The worker is joined however this ends, before the batches go.
            struct Joiner {
                std::thread& thread;
                ~Joiner()
                {
                    if (thread.joinable()) {
                        py::gil_scoped_release unlocked;
                        thread.join();
                    }
                }
            } joiner{worker};
            Emit(current, shape, list, &filled);
            made = after;
            if (want == 0)
                break;
            if (worker.joinable()) {
                py::gil_scoped_release unlocked;
                worker.join();
            } else {
                py::gil_scoped_release unlocked;
                nextMore = Compose(next, want);
            }
            if (failure)
                std::rethrow_exception(failure);
            if (PyErr_CheckSignals() != 0)
                throw py::error_already_set();
            std::swap(current, next);
            more = nextMore;
        }
        return made == count;
    }

    // Up to want names into batch (cleared first); false when the stream ran dry first.
    bool Compose(Batch& batch, std::uint64_t want)
    {
        batch.Clear();
        norvathel::StreamName name;
        for (std::uint64_t index = 0; index < want; ++index) {
            if (!names.Next(name))
                return false;
            batch.Add(name);
        }
        return true;
    }

    // The next name, or a RanDry.
    py::object Next()
    {
        Busy guard(*this);
        norvathel::StreamName name;
        if (!names.Next(name))
            Raise(Errors().ranDry, py::make_tuple(DryMessage(names.Kept(), 0), py::list()));
        if (shape == Shape::Pairs)
            return py::make_tuple(Steal(NameString(name.text, static_cast<std::size_t>(name.length))),
                                  Steal(NameString(name.surname, static_cast<std::size_t>(name.surnameLength))));
        if (!name.surname)
            return Steal(NameString(name.text, static_cast<std::size_t>(name.length)));
        std::string full(name.text, static_cast<std::size_t>(name.length));
        full += ' ';
        full.append(name.surname, static_cast<std::size_t>(name.surnameLength));
        return Steal(NameString(full.data(), full.size()));
    }

    // The tool's words for a stream that ran dry after made names of the count asked for (0: a
    // stream read one name at a time, made counting all it gave).
    std::string DryMessage(std::uint64_t made, std::uint64_t count) const
    {
        const std::string written = std::to_string(made);
        const std::string inARow = std::to_string(names.ComposedSinceKept());
        if (count == 0)
            return "only " + written + " names meet the constraints (" + inARow + " composed in a row without a new one)";
        return ::DryMessage(made, count, names.ComposedSinceKept());
    }

private:
    struct Busy {
        explicit Busy(Stream& stream) : owner(stream)
        {
            if (owner.busy)
                throw std::runtime_error("the stream is in use by another thread: a stream is for one thread at a time");
            owner.busy = true;
        }
        ~Busy() { owner.busy = false; }
        Stream& owner;
    };

    std::shared_ptr<Request> request;  // the style and options the stream reads
    std::uint64_t startSeed;
    Shape shape;
    norvathel::NameStream names;
    bool busy = false;  // read and written with the GIL held
};

std::uint64_t SeedFor(const Request& request)
{
    return RunSeed(request.options);
}

py::list Names(const std::shared_ptr<Request>& request, py::handle countValue, Shape shape)
{
    const std::uint64_t count = ReadCount(countValue);
    Stream stream(request, SeedFor(*request), shape);
    py::list list;
    if (!stream.Fill(count, list))
        Raise(Errors().ranDry, py::make_tuple(stream.DryMessage(py::len(list), count), list));
    return list;
}

// --- names per key --------------------------------------------------------------------------

std::uint64_t KeySeedFor(const Request& request, const std::string& key)
{
    return request.options.seed ? norvathel::KeySeed(key.data(), key.size(), *request.options.seed)
                                : norvathel::KeySeed(key.data(), key.size());
}

std::unique_ptr<norvathel::KeyNamer> MakeNamer(const Request& request)
{
    const ToolOptions& options = request.options;
    return std::make_unique<norvathel::KeyNamer>(options.style, options.gender, options.prefix, options.constraints,
                                                 options.fullNames);
}

std::string KeyDryMessage(const std::string& where)
{
    return "no name for " + where + " meets the constraints (" + std::to_string(DryLimit) + " composed in a row)";
}

py::list NamesFor(const std::shared_ptr<Request>& request, py::handle keyValues, Shape shape)
{
    std::vector<std::string> keys = ReadTexts(keyValues, "keys");
    std::unique_ptr<norvathel::KeyNamer> namer = MakeNamer(*request);
    py::list list;
    Batch batch;
    std::size_t done = 0;
    bool dry = false;
    while (done < keys.size() && !dry) {
        const std::size_t last = std::min<std::size_t>(keys.size(), done + BatchNames);
        batch.Clear();
        {
            py::gil_scoped_release unlocked;
            norvathel::StreamName name;
            for (std::size_t index = done; index < last; ++index) {
                if (!namer->Name(KeySeedFor(*request, keys[index]), name)) {
                    dry = true;
                    break;
                }
                batch.Add(name);
            }
        }
        Emit(batch, shape, list);
        done += batch.ends.size();
        if (PyErr_CheckSignals() != 0)
            throw py::error_already_set();
    }
    if (dry)
        Raise(Errors().ranDry, py::make_tuple(KeyDryMessage("keys[" + std::to_string(done) + "]"), list));
    return list;
}

py::object NameFor(Request& request, py::handle keyValue, Shape shape)
{
    const std::string key = Utf8(keyValue, "key");
    if (!request.namer)
        request.namer = MakeNamer(request);
    norvathel::StreamName name;
    if (!request.namer->Name(KeySeedFor(request, key), name))
        Raise(Errors().ranDry, py::make_tuple(KeyDryMessage("the key"), py::list()));
    Batch batch;
    batch.Add(name);
    py::list list;
    Emit(batch, shape, list);
    return list[0];
}

// --- the window's boards --------------------------------------------------------------------

class Session {
public:
    Session(py::handle clock, py::handle style, bool full) : fullNames(full)
    {
        const std::uint64_t value = ReadSeed(clock, "--clock");
        random.Seed(value);
        second = norvathel::SurnameRandomFor(random);
        if (PyUnicode_Check(style.ptr()))
            voice = BuiltInOrFile(Utf8(style, "style"));
        else if (!style.is_none())
            voice = style.cast<norvathel::Style>();
    }

    static norvathel::Style BuiltInOrFile(const std::string& name)
    {
        ToolOptions options;
        std::string problem;
        Check(SetStyle("--style", name.c_str(), options, problem), problem);
        return options.style;
    }

    // Composes the boards of a --boards list: (gender, prefix, names) for each.
    py::list Compose(const std::string& list)
    {
        std::vector<BoardRequest> boards;
        std::string problem;
        if (!ParseBoardList(list.c_str(), boards, problem))
            Refuse(problem);
        py::list shown;
        norvathel::Board given = {}, surnames = {};
        for (const BoardRequest& request : boards) {
            const norvathel::Gender gender = norvathel::BoardGender(request.gender, random);
            voice.ComposeBoard(random, gender, request.prefix, given);
            if (fullNames)
                voice.ComposeSurnames(second, surnames);
            py::list names;
            for (int index = 0; index < norvathel::NamesPerBoard; ++index) {
                std::string name(given.names[index], static_cast<std::size_t>(given.lengths[index]));
                if (fullNames)
                    name += std::string(" ") + surnames.names[index];
                names.append(Steal(NameString(name.data(), name.size())));
            }
            shown.append(py::make_tuple(gender == norvathel::Male ? "male" : gender == norvathel::Female ? "female" : "neutral",
                                        Steal(NameString(request.prefix, std::strlen(request.prefix))), names));
        }
        return shown;
    }

private:
    norvathel::AdditiveRandom random;
    norvathel::AdditiveRandom second;
    norvathel::Style voice;
    bool fullNames;
};

// --- learning -------------------------------------------------------------------------------

// What `norvathel-names learn` writes (the style file with its comment lines), the style, and
// what it was learned from.
py::tuple Learn(const std::string& text, const std::string& source, const std::string& name,
                const std::string& description, bool allowCopies, bool measure)
{
    norvathel::LearnRequest request;
    request.name = name;
    request.description = description;
    request.allowCopies = allowCopies;
    request.measure = measure;
    norvathel::LearnOutcome outcome;
    if (!norvathel::LearnFromList(text, source, request, outcome))
        RaiseStyleError(outcome.list.faults.empty() ? outcome.fault : outcome.list.faults.front());
    const norvathel::LearningSummary& summary = outcome.summary;
    const norvathel::Style& style = outcome.style;
    py::dict counts;
    counts["names"] = summary.names;
    counts["male"] = summary.male;
    counts["female"] = summary.female;
    counts["either"] = summary.either;
    counts["neutral"] = summary.neutral;
    counts["without_vowel"] = summary.withoutVowel;
    return py::make_tuple(style, outcome.styleText, counts,
                          measure ? LearningReport(summary, outcome.quality) : std::string());
}

}  // namespace norvathel_python

PYBIND11_MODULE(_native, module)
{
    using namespace norvathel_python;
    module.doc() = "The composer itself; use the functions of the norvathel package.";
    module.attr("__version__") = NORVATHEL_PYTHON_VERSION;

    py::module_ errors = py::module_::import("norvathel._errors");
    Errors().base = py::object(errors.attr("NorvathelError")).release();
    Errors().impossible = py::object(errors.attr("ImpossibleConstraints")).release();
    Errors().ranDry = py::object(errors.attr("RanDry")).release();
    Errors().style = py::object(errors.attr("StyleError")).release();

    py::dict spellings;
    for (const auto& entry : PythonSpellings)
        spellings[entry.first] = entry.second;
    module.attr("OPTION_SPELLINGS") = spellings;
    module.def("python_wording", &PythonWording, "The tool's message in the options' Python spellings.");
    module.attr("MAX_NAME_LENGTH") = norvathel::MaxNameLength;
    module.attr("DRY_LIMIT") = DryLimit;

    py::class_<norvathel::Style>(module, "Style", R"(A style: the voice names are composed in.

Make one with Style.builtin(name), Style.from_toml(text) or Style.from_file(path);
norvathel.styles() lists the built-in ones. A Style is immutable and may be shared
between threads.)")
        .def_static("builtin", &BuiltInStyle, py::arg("name"),
                    "The built-in style of that name (see norvathel.styles()).")
        .def_static("from_toml", &StyleFromToml, py::arg("text"), py::arg("source") = "text",
                    "A style from the TOML text of a style file; source names it in errors.")
        .def_static(
            "from_file", [](py::handle path) { return StyleFromPath(py::str(py::module_::import("os").attr("fsdecode")(path)).cast<std::string>()); },
            py::arg("path"), "A style from a style file, read as norvathel-names --style FILE reads it.")
        .def_property_readonly("name", [](const norvathel::Style& style) { return style.Name(); },
                               "The style's name.")
        .def_property_readonly("description", [](const norvathel::Style& style) { return style.Data().description; },
                               "The style's one-line description.")
        .def_property_readonly("toml", &norvathel::Style::ToText,
                               "The style as the TOML text of a style file (Style.from_toml reads it back).")
        .def("__eq__", [](const norvathel::Style& a, py::handle b) {
            return py::isinstance<norvathel::Style>(b) && a.ToText() == b.cast<const norvathel::Style&>().ToText();
        })
        .def("__hash__", [](const norvathel::Style& style) { return py::hash(py::str(style.ToText())); })
        .def("__repr__", [](const norvathel::Style& style) { return "norvathel.Style(" + Quoted(style.Name().c_str()) + ")"; });

    module.def("builtin_style_names", &norvathel::Style::BuiltInNames, "The built-in styles' names, classic first.");

    py::class_<Request, std::shared_ptr<Request>>(module, "Request", "One call's options, checked as the tool checks them.")
        .def("names", [](const std::shared_ptr<Request>& r, py::handle count) { return Names(r, count, Shape::Text); })
        .def("pairs", [](const std::shared_ptr<Request>& r, py::handle count) { return Names(r, count, Shape::Pairs); })
        .def("stream", [](const std::shared_ptr<Request>& r, bool pairs) {
            return std::make_unique<Stream>(r, SeedFor(*r), pairs ? Shape::Pairs : Shape::Text);
        })
        .def("names_for", [](const std::shared_ptr<Request>& r, py::handle keys, bool pairs) {
            return NamesFor(r, keys, pairs ? Shape::Pairs : Shape::Text);
        })
        .def("name_for", [](Request& r, py::handle key, bool pairs) { return NameFor(r, key, pairs ? Shape::Pairs : Shape::Text); })
        .def_property_readonly("full", [](const Request& r) { return r.options.fullNames; });

    module.def("request", &MakeRequest, py::arg("seed"), py::arg("gender"), py::arg("prefix"), py::arg("style"),
               py::arg("full"), py::arg("unique"), py::arg("min_length"), py::arg("max_length"), py::arg("ends_with"),
               py::arg("exclude"), py::arg("exclude_names"), py::arg("keys"), py::arg("clock") = py::none());

    py::class_<Stream>(module, "Stream", R"(An endless stream of names (see norvathel.stream).

Iterating gives one name at a time; take(n) the next n at once, composed with the GIL
released. Raises RanDry when the constraints leave no new name. For one thread at a time.)")
        .def("__iter__", [](py::object self) { return self; })
        .def("__next__", [](Stream& s) { return s.Next(); })
        .def("take", [](Stream& s, py::handle count) {
            py::list list;
            const std::uint64_t wanted = ReadCount(count);
            if (!s.Fill(wanted, list))
                Raise(Errors().ranDry, py::make_tuple(s.DryMessage(py::len(list), wanted), list));
            return list;
        }, py::arg("count"), "The next count names, as a list.")
        .def_property_readonly("seed", &Stream::Seed, "The seed in use (drawn when none was given).")
        .def_property_readonly("dry", &Stream::Dry, "True once the stream ran dry.")
        .def_property_readonly("made", &Stream::Made, "How many names the stream has given.");

    py::class_<Session>(module, "Session", "The window's boards; see norvathel.session.")
        .def(py::init<py::handle, py::handle, bool>())
        .def("compose", &Session::Compose);

    module.def("seed_of", [](py::handle seed) { return ReadSeed(seed, "--seed"); }, py::arg("seed"));
    module.def("key_seed", [](py::handle key, py::handle project) {
        const std::string text = Utf8(key, "key");
        return project.is_none() ? norvathel::KeySeed(text.data(), text.size())
                                 : norvathel::KeySeed(text.data(), text.size(), ReadSeed(project, "--seed"));
    });
    module.def("escaped", &Escaped, "A text with %XX escapes for '%', ',' and NUL, as --boards items take it.");
    module.def("learn", &Learn, py::arg("text"), py::arg("source"), py::arg("name"), py::arg("description"),
               py::arg("allow_copies"), py::arg("measure"));
}
