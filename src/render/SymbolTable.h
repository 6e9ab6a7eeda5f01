#pragma once
// The 140 characters the bitmap fonts draw, by slot: slot i + 1 is SymbolTable[i]. Characters are
// code page 1251 bytes.

#include <array>

extern const std::array<char, 140> SymbolTable;

// The slot (1..140) of a character; a character the fonts do not have gives the slot of the
// space (1), so it draws as a blank cell and still takes its place.
int SymbolIndex(char ch);
// Whether the fonts have the character (SymbolIndex alone cannot tell a space from the rest).
bool IsSymbol(char ch);
