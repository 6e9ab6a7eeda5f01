#pragma once
// The byte level of the scrambled content files (variant and rule libraries): a buffered reader
// that treats the files as Windows text files, the CR LF line rule and the content
// transformation that both libraries share.

#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/Text.h"

#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// Content errors of the library readers; their messages are fixed English texts.
class EFileError : public Exception {
public:
    using Exception::Exception;
};

// The instructions the content files are unscrambled and split into lines with: the widest the
// processor has (the last of VectorLevels), unless a test or a benchmark chooses another.
enum class TVectorLevel { Bytes, Sse2, Avx2, Avx512 };
std::vector<TVectorLevel> VectorLevels();
void UseVectorLevel(TVectorLevel level);

// A content file opened for sequential reading. Its bytes are read a piece at a time into one
// block that is kept whole, so that a line, once read, can be handed out as a view of the file's
// data; each piece is unscrambled and searched for line ends in one pass while it is still in
// the processor's cache, which keeps the load of a large library close to the cost of reading
// it. As in a Windows text file, a
// byte 26 ends the data: Eof() reports the end there and nothing behind it is ever delivered.
class TTextFile {
public:
    // How much one read asks for: it must stay in the processor's cache until it is used.
    static constexpr std::size_t PieceSize = std::size_t{1} << 18;

    // A file of at least this size is read ahead by a second thread while the lines already
    // read are taken apart.
    static constexpr std::size_t ReadAheadSize = 2 * PieceSize;

    // `path` in program form; throws EInOutError when the file cannot be opened.
    explicit TTextFile(const std::string& path);
    ~TTextFile();
    TTextFile(const TTextFile&) = delete;
    TTextFile& operator=(const TTextFile&) = delete;

    // At the end of the data. Throws EInOutError when the file cannot be read; the file then
    // counts as ended.
    bool Eof() { return Pos >= Len && AtEnd(); }
    // The next byte; at the end the run-time's end-of-file character 26, never an error.
    char ReadChar() {
        Walking = false;
        return Eof() ? char(26) : Data[Pos++];
    }
    // The bytes read and not yet taken (empty when more must be read).
    std::string_view Buffered() const { return {Data + Pos, Len - Pos}; }
    void Skip(std::size_t n) {
        Pos += n;
        Walking = false;
    }
    void Close();

    // From here on every byte is delivered with the content transformation undone. CR, LF and 26
    // are below 32 and stay as they are, so line ends and the end of the file are found as before.
    void Unscramble();
    bool Unscrambling() const { return Transforming; }

    // The next line by the rule of TFileCover::ReadRawLine, as a view of the file's data that
    // stays valid as long as the data (see ReleaseData). `cut` tells that a read error, not the
    // end of the file, ended the data inside the line. The caller has checked !Eof().
    std::string_view TakeLine(bool& cut) {
        std::string_view line;
        if (TakeFoundLine(line)) {
            cut = false;
            return line;
        }
        return TakeLineReadingOn(cut);
    }

    // Calls `take(line)` for every line to the end of the file, by the rule of ReadLineView,
    // until it returns false. For the big library: the walk along the line ends is kept in
    // local variables, which the writes `take` makes cannot touch.
    template <class TTake> void ForEachLine(TTake&& take);

    // Hands the data read so far to the caller, so that views of lines may outlive the file. The
    // file reads on into it: the caller keeps it alive while it reads.
    std::vector<std::unique_ptr<char[]>> ReleaseData() {
        StopReadingAhead();
        return std::move(Blocks);
    }

private:
    // The line from Pos when a pair after it has been read. The pairs of the word being walked
    // are kept at hand: from one line to the next only its lowest bit is cleared.
    bool TakeFoundLine(std::string_view& line) {
        if (!Walking) {
            Word = Pos / 64;
            Bits = Pairs[Word] & (~std::uint64_t{0} << (Pos % 64));
            Walking = true;
        }
        while (!Bits) {
            if (Word >= (Len - 1) / 64)
                return false;
            Bits = Pairs[++Word];
        }
        std::size_t at = 64 * Word + static_cast<unsigned>(std::countr_zero(Bits));
        Bits &= Bits - 1;
        line = std::string_view(Data + Pos, at - Pos);
        Pos = at + 2;
        return true;
    }
    void NewBlock(std::size_t capacity);
    bool AtEnd();
    std::string_view TakeLineReadingOn(bool& cut);
    // Reads the next piece behind Len and finds its pairs; false when nothing more came (the
    // end, a byte 26 or a read error, which ReadFailed then tells).
    bool Fill();
    // Reads a piece behind `len` into the block and prepares it: its pairs found, and its bytes
    // unscrambled when `transform` is set. Returns the bytes added, up to a byte 26; `ended`
    // tells that nothing more is to be read.
    std::size_t ReadPiece(std::size_t len, bool transform, bool& ended, bool& failed);
    // The read-ahead thread: pieces into the block until the end, its capacity or a stop.
    void ReadAhead();
    // Takes what the read-ahead thread has ready, waiting for it; false when it had nothing more.
    bool TakeReadAhead();
    void StopReadingAhead();
    std::unique_ptr<platform::TReadFile> File;
    std::vector<std::unique_ptr<char[]>> Blocks; // the last one is being filled
    char* Data = nullptr;
    std::size_t Capacity = 0;
    std::size_t Pos = 0;
    std::size_t Len = 0;
    bool Ended = false;      // nothing more is read: the end, a byte 26 or a read error was met
    bool ReadFailed = false; // a read error ends the data at Len, not yet reported
    bool Transforming = false;
    // Bit p % 64 of word p / 64 set: a CR LF pair of the block begins at p, both bytes read.
    std::unique_ptr<std::uint64_t[]> Pairs;
    // The word of Pairs that the lines are taken from, without the pairs before Pos; false
    // when Pos moved otherwise or more was read.
    bool Walking = false;
    std::size_t Word = 0;
    std::uint64_t Bits = 0;

    // Between this thread and the read-ahead thread. Published holds twice the length of the
    // data that is ready, plus 1 once the thread has finished; the bytes and the words of Pairs
    // below that length no longer change. The thread writes only behind it; AheadEnded and
    // AheadFailed are set before the last publication.
    std::thread Reader;
    std::atomic<std::uint64_t> Published{0};
    std::atomic<bool> StopReader{false};
    // Set by Unscramble: the thread unscrambles the pieces it reads from then on, and tells
    // where the first of them began (till then, the bytes are unscrambled here).
    std::atomic<bool> AheadTransform{false};
    std::atomic<std::size_t> AheadTransformFrom{~std::size_t{0}};
    bool AheadEnded = false;
    bool AheadFailed = false;
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
    // ReadLine without copying, for a file that unscrambles: a view of the file's data.
    static std::string_view ReadLineView(TTextFile& f) {
        bool cut = false;
        std::string_view line = f.TakeLine(cut);
        if (cut)
            ReportReadError();
        return line;
    }
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

    // The input/output box for a read error inside a line, which names no file.
    static void ReportReadError();
};

template <class TTake> void TTextFile::ForEachLine(TTake&& take) {
    while (!Eof()) {
        if (!Walking) {
            Word = Pos / 64;
            Bits = Pairs[Word] & (~std::uint64_t{0} << (Pos % 64));
            Walking = true;
        }
        const char* const data = Data;
        const std::uint64_t* const pairs = Pairs.get();
        const std::size_t last = (Len - 1) / 64;
        std::size_t pos = Pos;
        std::size_t word = Word;
        std::uint64_t bits = Bits;
        bool more = true;
        for (;;) {
            while (!bits && word < last)
                bits = pairs[++word];
            if (!bits)
                break;
            std::size_t at = 64 * word + static_cast<unsigned>(std::countr_zero(bits));
            bits &= bits - 1;
            std::string_view line(data + pos, at - pos);
            pos = at + 2;
            if (!take(line)) {
                more = false;
                break;
            }
        }
        Pos = pos;
        Word = word;
        Bits = bits;
        if (!more)
            return;
        // A line runs past what was read: read on. (At the end of what was read, Eof reads on.)
        if (Pos < Len) {
            bool cut = false;
            std::string_view line = TakeLineReadingOn(cut);
            if (cut)
                TFileCover::ReportReadError();
            if (!take(line))
                return;
        }
    }
}

// The rule library's end mark: the line lies within "%%STOP" or "%%STOP" lies within the line.
// An empty line is not a stop line.
bool IsStopLine(const std::string& line);

// The variant library's one-way test: only "the line lies within %%STOP". Every line of the
// library passes it, and nearly all are longer than the mark, so that much is inline.
bool IsWithinShortStopText(std::string_view line);
inline bool IsWithinStopText(std::string_view line) {
    return !line.empty() && line.size() <= 6 && IsWithinShortStopText(line);
}

// The readers and the content tool trim names, texts and rules with the run-time's rule.
using platform::TrimView;
