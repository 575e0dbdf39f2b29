#pragma once
// Gives back memory a long game no longer needs, between toll gates.
//
// Two things grow with every character drawn for the first time: the pages
// of the mapped font files that hold its outline, and the heap. Once a glyph
// is in the toolkit's cache its outline is not read again, so the font
// files' pages can leave the process (they are clean: a later read fetches
// them back from the page cache), and the heap's free blocks can go back to
// the system.

#include <cstddef>
#include <string_view>

struct TMemoryTrim {
    std::size_t FontBytes = 0;  // font-file pages dropped (mapped length)
    int FontMappings = 0;
};

// Whether a line of /proc/self/maps is a read-only private mapping of a font
// file; its address range goes into Start and End.
bool IsFontFileMapping(std::string_view mapsLine, std::size_t &start, std::size_t &end);

TMemoryTrim TrimIdleMemory();
