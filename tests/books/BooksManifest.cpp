#include "BooksManifest.h"

#include <fstream>
#include <sstream>

std::string ReadBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Split(std::string_view text, char sep)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(sep, start);
        out.emplace_back(text.substr(start, at == std::string_view::npos ? at : at - start));
        if (at == std::string_view::npos)
            return out;
        start = at + 1;
    }
}

std::vector<BookEntry> ReadManifest()
{
    std::vector<BookEntry> books;
    const std::string text = ReadBytes(kBooksDir + "manifest.tsv");
    if (text.empty() || text.back() != '\n')
        return books;
    for (const std::string &line : Split(std::string_view(text).substr(0, text.size() - 1), '\n')) {
        const auto fields = Split(line, '\t');
        if (fields.size() != 4)
            return {};
        books.push_back({std::stoi(fields[0]), fields[1], std::stoi(fields[2]), fields[3]});
    }
    return books;
}

bool SplitCrLfLines(const std::string &bytes, std::vector<std::string> &lines)
{
    lines.clear();
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t lf = bytes.find('\n', start);
        if (lf == std::string::npos || lf == start || bytes[lf - 1] != '\r')
            return false;
        lines.push_back(bytes.substr(start, lf - 1 - start));
        if (lines.back().find('\r') != std::string::npos)
            return false;
        start = lf + 1;
    }
    return true;
}
