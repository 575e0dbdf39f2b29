#pragma once
// The board's settings in the settings file: the three levels' intervals
// and the three colours. The game flow owns the one instance: it gives them
// to the board when the board is set up and saves what the player changes.

#include <cstdint>

class TGameBoard;

// Colours are 0x00BBGGRR.
struct TBoardColors {
    std::uint32_t BackGround = 0;
    std::uint32_t Normal = 0;
    std::uint32_t Type = 0;
};

class TBoardSettings {
public:
    // The saved intervals and colours onto the board, its words redrawn in them.
    void Apply(TGameBoard &board) const;
    // The board takes the intervals; what it keeps is saved in one write.
    void SetIntervals(TGameBoard &board, int interval1, int interval2, int interval3) const;
    // The board takes the colours and shows them before they are saved, so a
    // settings file that cannot be written still leaves them on view.
    void SetColors(TGameBoard &board, const TBoardColors &colors) const;
};
