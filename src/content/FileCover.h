#pragma once
// The byte level of the scrambled content files (variant and rule libraries): the file read
// whole as a Windows text file, the CR LF line rule and the content transformation that both
// libraries share.

#include "platform/Exception.h"
#include "platform/ReadError.h"
#include "platform/Text.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

// Content errors of the library readers; their messages are fixed English texts.
class EFileError : public Exception {
public:
    using Exception::Exception;
};

// A content file, read whole into one buffer when it is opened, so that a line, once taken, can
// be handed out as a view of the file's bytes. As in a Windows text file, a byte 26 ends the
// data: Eof() reports the end there and nothing behind it is ever delivered.
class TTextFile {
public:
    // The largest file taken. Libraries are a few hundred kilobytes; anything near this size is
    // no library, and refusing it keeps a hostile file from costing more time and memory.
    static constexpr std::size_t MaxSize = std::size_t{256} << 20;

    // `path` in program form. Throws EInOutError when it cannot be opened, is no regular file
    // or pipe (a device or a folder), or is larger than MaxSize. Opening never waits: a pipe
    // without a writer reads as an empty file.
    explicit TTextFile(const std::string& path);
    TTextFile(const TTextFile&) = delete;
    TTextFile& operator=(const TTextFile&) = delete;

    // At the end of the data. When a read error, not the end of the file, ended the data right
    // here, throws EInOutError once; the file then counts as ended.
    bool Eof();
    // The next byte; at the end the run-time's end-of-file character 26, never an error.
    char ReadChar() { return Pos < Len ? Data[Pos++] : char(26); }
    // The bytes not yet taken.
    std::string_view Rest() const { return {Data.get() + Pos, Len - Pos}; }
    void Skip(std::size_t n) { Pos += n; }

    // From here on every byte is delivered with the content transformation undone. CR, LF and 26
    // are below 32 and stay as they are, so line ends are found as before.
    void Unscramble();
    bool Unscrambling() const { return Transforming; }

    // The next line by the rule of TFileCover::ReadRawLine, as a view of the file's bytes that
    // stays valid as long as they do (see ReleaseData). `cut` tells that a read error, not the
    // end of the file, ended the data inside the line. The caller has checked !Eof().
    std::string_view TakeLine(bool& cut);

    // Hands the file's bytes to the caller, so that views of lines may outlive the file.
    std::unique_ptr<char[]> ReleaseData() { return std::move(Data); }

private:
    std::unique_ptr<char[]> Data;
    std::size_t Len = 0;
    std::size_t Pos = 0;
    bool ReadFailed = false; // a read error ended the data at Len, not yet reported
    bool Transforming = false;
};

// Base of the two library readers: the line rules, and the errors of the last load.
class TFileCover {
public:
    // The next line without its CR LF, untransformed. Only the pair 13 10 ends a line; a line
    // that the end of the file closes loses its last byte. The caller has checked !f.Eof().
    // A read error inside the line adds a LineCut error and gives what was read.
    static void ReadRawLine(TTextFile& f, std::string& line, platform::TReadErrors& errors);
    // ReadRawLine, then the content transformation (unless the file already undoes it).
    static void ReadLine(TTextFile& f, std::string& line, platform::TReadErrors& errors);
    // ReadLine without copying, for a file that unscrambles: a view of the file's bytes.
    static std::string_view ReadLineView(TTextFile& f, platform::TReadErrors& errors);
    // The plain signature line: an ordinary text line, untransformed, ended by CR LF, a lone CR
    // or a lone LF (or the end of the file, without losing a byte). Read errors propagate, so
    // that the reader's own error trap reports them once.
    static void ReadPlainLine(TTextFile& f, std::string& line);

    // Bytes below 32 pass unchanged; 32..255 are mirrored onto themselves (its own inverse).
    static constexpr char TransformChar(char c) {
        auto b = static_cast<unsigned char>(c);
        return b < 32 ? c : static_cast<char>(static_cast<unsigned char>(31 - b));
    }
    static std::string TransformText(const std::string& s);
    static void TransformBytes(char* p, std::size_t n);

    // What the last load met, in order; empty when it went well.
    platform::TReadErrors Errors;
};

// The rule library's end mark: the line lies within "%%STOP" or "%%STOP" lies within the line.
// An empty line is not a stop line.
bool IsStopLine(std::string_view line);
// The variant library's one-way test: only "the line lies within %%STOP".
bool IsWithinStopText(std::string_view line);

// The readers and the content tool trim names, texts and rules with the run-time's rule.
using platform::TrimView;
