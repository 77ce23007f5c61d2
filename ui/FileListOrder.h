// The order of the file list when a column header is clicked. Free of any
// widget so that the rules can be checked on their own.
#pragma once

#include <string_view>

inline constexpr int kSizeColumn = 4;

// Code unit by code unit, with only "a".."z" folded onto "A".."Z"; the first
// unequal pair decides by its difference, a prefix sorts first.
int CompareText(std::u16string_view A, std::u16string_view B);

// ListView1Compare on the texts A and B of column Sort1: the size column
// compares by value (the shorter text padded on the left with spaces), and
// Sort2 = 1 reverses the order.
int ListTextCompare(int Sort1, int Sort2, std::u16string_view A, std::u16string_view B);
