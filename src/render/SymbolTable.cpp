#include "render/SymbolTable.h"

#include <cstdint>

namespace {

constexpr std::array<char, 140> MakeTable() {
    std::array<char, 140> t{};
    const char head[] = {' ', '!', '"', ',', '-', '.', ':', ';', '?', '_'};
    std::size_t i = 0;
    for (char c : head)
        t[i++] = c;
    for (char c = '0'; c <= '9'; ++c)
        t[i++] = c;
    t[i++] = '(';
    t[i++] = ')';
    for (char c = 'A'; c <= 'Z'; ++c)
        t[i++] = c;
    for (char c = 'a'; c <= 'z'; ++c)
        t[i++] = c;
    t[i++] = '\xA8'; // capital IO
    t[i++] = '\xB8'; // small io
    for (int b = 0xC0; b <= 0xFF; ++b)
        t[i++] = static_cast<char>(b);
    return t;
}

// Slot by byte, 0 where the set has no such character. Drawing looks up every character of
// every line on each redraw, so the scan of the table is done once, here.
constexpr std::array<std::uint8_t, 256> MakeIndex(const std::array<char, 140>& table) {
    std::array<std::uint8_t, 256> index{};
    for (std::size_t i = table.size(); i-- > 0;)
        index[static_cast<unsigned char>(table[i])] = static_cast<std::uint8_t>(i + 1);
    return index;
}

constexpr std::array<char, 140> Table = MakeTable();
constexpr std::array<std::uint8_t, 256> Index = MakeIndex(Table);

} // namespace

const std::array<char, 140> SymbolTable = Table;

int SymbolIndex(char ch) {
    int slot = Index[static_cast<unsigned char>(ch)];
    return slot ? slot : Index[static_cast<unsigned char>(' ')];
}

bool IsSymbol(char ch) {
    return Index[static_cast<unsigned char>(ch)] != 0;
}
