#pragma once
// What the variant-library benchmarks share: the lines of a generated library in the shape of
// real content, and a message presenter that only says when a box was not expected.

#include "content/FileCover.h"
#include "platform/MessageBox.h"

#include <cstdio>
#include <string>

class TQuiet : public platform::IMessagePresenter {
public:
    int Show(const std::string& text, const std::string&, unsigned) override {
        std::fprintf(stderr, "unexpected message: %s\n", text.c_str());
        return platform::IDOK;
    }
};

// One line as the library file holds it.
inline std::string LibraryLine(const std::string& s) {
    return TFileCover::TransformText(s) + "\r\n";
}

// One example with three check points, as long as a real one: "В саду росли яблони, груши и
// сливы, а в лесу - грибы."
inline std::string ExampleLines() {
    const std::string sentence =
        "\xC2 \xF1\xE0\xE4\xF3 \xF0\xEE\xF1\xEB\xE8 \xFF\xE1\xEB\xEE\xED\xE8, \xE3\xF0\xF3\xF8"
        "\xE8@ \xE8 \xF1\xEB\xE8\xE2\xFB, \xE0 \xE2 \xEB\xE5\xF1\xF3 - \xE3\xF0\xE8\xE1\xFB.";
    std::string cps = "%XR";
    cps += '\x03';
    for (char pos : {'\x0F', '\x17', '\x24'})
        cps += std::string{pos, '\x00', '@', ','} + "ZP1 ";
    return LibraryLine("%X" + sentence) + LibraryLine(cps);
}
