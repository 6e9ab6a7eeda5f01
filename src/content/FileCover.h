#pragma once
// The byte level of the scrambled content files (variant and rule libraries): a buffered reader
// that treats the files as Windows text files, the CR LF line rule and the content
// transformation that both libraries share.

#include "platform/Exception.h"
#include "platform/Text.h"

#include <QFile>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

// Content errors of the library readers; their messages are fixed English texts.
class EFileError : public Exception {
public:
    using Exception::Exception;
};

// A content file opened for sequential reading. As in a Windows text file, a byte 26 ends the
// data: Eof() reports the end there and nothing behind it is ever delivered.
class TTextFile {
public:
    // `path` in program form; throws EInOutError when the file cannot be opened.
    explicit TTextFile(const std::string& path);
    TTextFile(const TTextFile&) = delete;
    TTextFile& operator=(const TTextFile&) = delete;

    bool Eof();
    // The next byte; at the end the run-time's end-of-file character 26, never an error.
    // Throws EInOutError when the file cannot be read; the file then counts as ended.
    char ReadChar();
    // The bytes already buffered and not yet read (empty when the buffer needs refilling).
    std::string_view Buffered() const { return {Buf.get() + Pos, Len - Pos}; }
    void Skip(std::size_t n) { Pos += n; }
    void Close() { File.close(); }

    // From here on every byte is delivered with the content transformation undone. It is done a
    // whole buffer at a time, which is far cheaper than line by line; CR, LF and 26 are below 32
    // and stay as they are, so line ends and the end of the file are found as before.
    void Unscramble();
    bool Unscrambling() const { return Transforming; }
    // The next line when its CR LF pair lies in the buffer: a view of it, valid until the next
    // read, and the pair skipped. False, and nothing read, when the line runs past the buffer.
    bool TakeBufferedLine(std::string_view& line);

private:
    void Fill();

    QFile File;
    std::unique_ptr<char[]> Buf;
    std::size_t Pos = 0;
    std::size_t Len = 0;
    bool Ended = false; // the physical end, a byte 26 or a read error was met
    bool Transforming = false;
};

// Base of the two library readers. No state of its own.
class TFileCover {
public:
    // The next line without its CR LF, untransformed. Only the pair 13 10 ends a line; a line
    // that the end of the file closes loses its last byte. The caller has checked !f.Eof().
    // A read error shows the input/output box without a file name and returns what was read.
    static void ReadRawLine(TTextFile& f, std::string& line);
    // ReadRawLine, then the content transformation (unless the file already undoes it).
    static void ReadLine(TTextFile& f, std::string& line);
    // ReadLine without copying, for a file that unscrambles: a view into its buffer, or into
    // `spill` for a line that crosses a refill. Valid until the next read from `f`.
    static std::string_view ReadLineView(TTextFile& f, std::string& spill);
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
    static void TransformInPlace(std::string& s);
    static void TransformBytes(char* p, std::size_t n);
};

// The rule library's end mark: the line lies within "%%STOP" or "%%STOP" lies within the line.
// An empty line is not a stop line.
bool IsStopLine(const std::string& line);

// The variant library's one-way test: only "the line lies within %%STOP".
bool IsWithinStopText(std::string_view line);

// The readers and the content tool trim names, texts and rules with the run-time's rule.
using platform::TrimView;
