#pragma once
// Example sentences of a book's own, in the player's database: a book made
// from a text keeps, for each word, the sentence of that text it first stood
// in. Keyed by the book's word table, so its shuffled copy finds them too;
// the shipped reference data give the examples of every other word.

#include <string>
#include <string_view>
#include <vector>

#include "ReferenceData.h"
#include "SqlDatabase.h"

// The step to schema version 6: table bookexamples (booktable, spelling,
// form, sentence; UTF-8) and its index.
void CreateBookExamplesTable(TSqlTransaction &transaction);

// Inserts one example of a word of the book whose word table is given (GBK).
void InsertBookExample(TSqlTransaction &transaction, const std::string &bookTable,
                       const std::string &spelling, const TExample &example);

// Removes the examples of a book's word table (its deletion).
void DeleteBookExamples(TSqlTransaction &transaction, const std::string &bookTable);

// The examples of a word of the book played from that word table (its own or
// its shuffled copy, "randomlib" + id), then those of the reference data.
// Nothing of the book's when the database cannot be read (a warning).
std::vector<TExample> WordExamples(const std::string &bookTable, const std::string &spelling);
