#pragma once
// The manifest of the shipped word books and small file helpers the book
// tests share.

#include <string>
#include <string_view>
#include <vector>

inline const std::string kBooksDir = std::string(KIVRO_SOURCE_DIR) + "/data/wordbooks/";

struct BookEntry {
    int id = 0;
    std::string name;  // UTF-8
    int bookClass = 0;
    std::string file;
};

std::string ReadBytes(const std::string &path);
std::vector<std::string> Split(std::string_view text, char sep);
// The books of manifest.tsv; empty when the file is missing or malformed.
std::vector<BookEntry> ReadManifest();
// Splits a file into lines, insisting on CR LF after every line.
bool SplitCrLfLines(const std::string &bytes, std::vector<std::string> &lines);
