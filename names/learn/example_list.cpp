// Example lists: one name per line, optionally a tab and a gender mark. Every byte is
// distrusted; a fault is reported with its line and column.
#include <norvathel/style_learning.h>

#include <algorithm>

#include "text/letters.h"
#include "text/unicode_letters.h"
#include "text/unicode_normal.h"

namespace norvathel {

namespace {

// " (U+0301)" for a character beyond ASCII, which may not show (a combining accent does not).
std::string CodePointShown(unsigned c)
{
    if (c < 0x80)
        return "";
    const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (int shift = c > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4)
        hex += digits[(c >> shift) & 15];
    return " (U+" + hex + ")";
}

class ListReader {
public:
    ListReader(const std::string& listSource, ListReport& given) : report(given), source(listSource)
    {
        report = ListReport();
    }

    bool Read(const std::string& text, std::vector<ExampleName>& names)
    {
        names.clear();
        if (text.size() > MaxExampleListBytes) {
            // The place of the first byte past the limit.
            const std::size_t lineStart = text.rfind('\n', MaxExampleListBytes - 1);
            const std::size_t from = lineStart == std::string::npos ? 0 : lineStart + 1;
            const int line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(from), '\n'));
            return Fail(line, ColumnOf(text.substr(from, MaxExampleListBytes - from + 1), MaxExampleListBytes - from),
                        "the list is over the limit of " + std::to_string(MaxExampleListBytes) + " bytes");
        }
        std::size_t at = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
        int line = 0;
        while (at < text.size()) {
            ++line;
            std::size_t end = text.find('\n', at);
            if (end == std::string::npos)
                end = text.size();
            std::size_t stop = end > at && text[end - 1] == '\r' ? end - 1 : end;
            // A fault of one line leaves the others to be read, so that one run names them
            // all; only a list with too many names stops here.
            if (!Line(text.substr(at, stop - at), line, names) && stopped)
                return false;
            at = end + 1;
        }
        if (!report.faults.empty())
            return false;
        if (names.empty())
            return Fail(std::max(line, 1), 0, "no example names (one name per line, optionally a tab and m, f or n)");
        return true;
    }

private:
    static void Note(std::vector<StyleError>& list, int& more, StyleError entry)
    {
        if (list.size() < static_cast<std::size_t>(MaxListFaults))
            list.push_back(std::move(entry));
        else
            ++more;
    }

    StyleError At(int line, int column, const std::string& message) const
    {
        StyleError entry;
        entry.source = source;
        entry.line = line;
        entry.column = column;
        entry.message = message;
        return entry;
    }

    bool Fail(int line, int column, const std::string& message)
    {
        Note(report.faults, report.moreFaults, At(line, column, message));
        return false;
    }

    void Warn(int line, int column, const std::string& message)
    {
        Note(report.warnings, report.moreWarnings, At(line, column, message));
    }

    // The column of a byte of a line that is valid UTF-8: characters before it, plus one.
    static int ColumnOf(const std::string& text, std::size_t at)
    {
        int column = 1;
        for (std::size_t k = 0; k < at && k < text.size(); ++k)
            column += (static_cast<unsigned char>(text[k]) & 0xC0) != 0x80 ? 1 : 0;
        return column;
    }

    bool Bytes(const std::string& text, int line)
    {
        if (text.size() > static_cast<std::size_t>(MaxExampleLineBytes))
            return Fail(line, ColumnOf(text, static_cast<std::size_t>(MaxExampleLineBytes)),
                        "the line is over the limit of " + std::to_string(MaxExampleLineBytes) + " bytes");
        for (std::size_t at = 0; at < text.size();) {
            const Letter letter = DecodeLetter(text, at);
            if (letter.length == 0)
                return Fail(line, ColumnOf(text, at), "not valid UTF-8");
            const unsigned c = letter.codePoint;
            if ((c < 32 && c != '\t') || (c >= 127 && c < 160)) {
                const char digits[] = "0123456789ABCDEF";
                std::string code = c < 256 ? std::string("0x") + digits[c >> 4] + digits[c & 15] : "";
                return Fail(line, ColumnOf(text, at), "a control character (" + code + ")");
            }
            at += static_cast<std::size_t>(letter.length);
        }
        return true;
    }

    bool Line(const std::string& text, int line, std::vector<ExampleName>& names)
    {
        if (!Bytes(text, line))
            return false;
        std::size_t first = text.find_first_not_of(' ');
        if (first == std::string::npos || text[first] == '#')
            return true;
        std::size_t tab = text.find('\t');
        if (tab == std::string::npos)
            tab = SpacedMark(text, first, line);
        std::size_t nameEnd = tab == std::string::npos ? text.size() : tab;
        while (nameEnd > first && text[nameEnd - 1] == ' ')
            --nameEnd;
        if (nameEnd <= first)
            return Fail(line, ColumnOf(text, first), "a gender mark without a name");
        ExampleName name;
        if (tab != std::string::npos && !Mark(text, tab, line, name.gender))
            return false;
        bool afterJoin = true;  // at the start, or just after a join: no join may stand here
        for (std::size_t at = first; at < nameEnd;) {
            const Letter letter = DecodeLetter(text, at);
            const unsigned small = SmallLetter(letter.codePoint);
            const bool join = IsJoin(letter.codePoint);
            if (join && (afterJoin || at + static_cast<std::size_t>(letter.length) == nameEnd))
                return Fail(line, ColumnOf(text, at),
                            "'" + text.substr(at, static_cast<std::size_t>(letter.length)) + "'" +
                                " stands only between two letters (Jean-Luc, O'Neil), not at a name's start or end "
                                "or after another");
            afterJoin = join;
            const bool mark = !join && !name.letters.empty() && IsMark(letter.codePoint);  // on the letter before
            if (!IsLetter(small) && !mark && !join)
                return Fail(line, ColumnOf(text, at),
                            "'" + text.substr(at, static_cast<std::size_t>(letter.length)) + "'" +
                                CodePointShown(letter.codePoint) +
                                " is not a letter (a name is letters of any script, each with its marks)");
            name.letters += EncodeLetter(small);
            at += static_cast<std::size_t>(letter.length);
        }
        // The same name typed with é or with e and its accent is one name.
        name.letters = Nfc(name.letters);
        if (names.size() >= static_cast<std::size_t>(MaxExampleNames)) {
            stopped = true;
            return Fail(line, 1, "more than " + std::to_string(MaxExampleNames) + " example names");
        }
        names.push_back(name);
        return true;
    }

    // A name, spaces and a lone m, f or n where the tab belongs (as editors that turn tabs into
    // spaces leave it): read as the tab people meant, and said so. A name has no spaces, so
    // nothing else is taken for this. The place of the first space, or npos.
    std::size_t SpacedMark(const std::string& text, std::size_t first, int line)
    {
        const std::size_t end = text.find_last_not_of(' ');
        if (end == std::string::npos || end <= first || std::string("mfnMFN").find(text[end]) == std::string::npos ||
            text[end - 1] != ' ')
            return std::string::npos;
        std::size_t space = end - 1;
        while (space > first && text[space - 1] == ' ')
            --space;
        if (text.find(' ', first) != space)
            return std::string::npos;  // more than one space-separated word before the mark
        Warn(line, ColumnOf(text, space), std::string("a space before the gender mark '") + text[end] +
                                              "': read as the tab it stands for");
        return space;
    }

    bool Mark(const std::string& text, std::size_t tab, int line, ExampleGender& gender)
    {
        std::size_t start = text.find_first_not_of(' ', tab + 1);
        std::size_t end = text.find_last_not_of(' ');
        std::string mark = start == std::string::npos || end < start ? "" : text.substr(start, end - start + 1);
        if (mark == "m" || mark == "M") {
            gender = ExampleGender::Male;
        } else if (mark == "f" || mark == "F") {
            gender = ExampleGender::Female;
        } else if (mark == "n" || mark == "N") {
            gender = ExampleGender::Neutral;
        } else {
            return Fail(line, ColumnOf(text, start == std::string::npos ? tab + 1 : start),
                        "the gender mark after the tab must be m, f or n");
        }
        return true;
    }

    ListReport& report;
    std::string source;
    bool stopped = false;  // a fault past which nothing more is read
};

}  // namespace

bool ReadExampleNames(const std::string& text, const std::string& source, std::vector<ExampleName>& names,
                      ListReport& report)
{
    return ListReader(source, report).Read(text, names);
}

bool ReadExampleNames(const std::string& text, const std::string& source, std::vector<ExampleName>& names,
                      StyleError& error)
{
    ListReport report;
    const bool read = ReadExampleNames(text, source, names, report);
    if (read) {
        error = StyleError();
        error.source = source;  // for what learning may find
    } else {
        error = report.faults.front();
    }
    return read;
}

std::vector<std::string> ListLines(const ListReport& report, bool warnings)
{
    std::vector<std::string> lines;
    for (StyleError entry : warnings ? report.warnings : report.faults) {
        if (warnings)
            entry.message = "warning: " + entry.message;
        lines.push_back(entry.Text());
    }
    const int more = warnings ? report.moreWarnings : report.moreFaults;
    if (more > 0)
        lines.push_back("and " + std::to_string(more) + (warnings ? " more warnings" : " more faults"));
    return lines;
}

}  // namespace norvathel
