// The orders of the file list: by name after a rebuild, by a column after a
// header click. Free of any widget so that the rules can be checked alone.
#pragma once

#include <string_view>
#include <vector>

struct TFileField;

inline constexpr int kSizeColumn = 4;

// Code unit by code unit, with only "a".."z" folded onto "A".."Z"; the first
// unequal pair decides by its difference, a prefix sorts first.
int CompareText(std::u16string_view A, std::u16string_view B);

// ListView1Compare on the texts A and B of column Sort1: the size column
// compares by value (the shorter text padded on the left with spaces), and
// Sort2 = 1 reverses the order.
int ListTextCompare(int Sort1, int Sort2, std::u16string_view A, std::u16string_view B);

// The order a rebuilt list shows, that of the drawings' home platform, which
// lists a folder by name: CompareText on the names (case-insensitive for
// ASCII letters, code unit by code unit otherwise), names differing only in
// case by their code units.
void SortByName(std::vector<TFileField>& Files);
