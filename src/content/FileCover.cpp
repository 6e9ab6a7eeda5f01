#include "content/FileCover.h"

#include "app/Reports.h"
#include "platform/Files.h"

#include <cstring>

namespace {
constexpr std::size_t BufferSize = 1 << 16;
constexpr char EndOfFileChar = 26;
constexpr std::string_view StopText = "%%STOP";
} // namespace

TTextFile::TTextFile(const std::string& path)
    : File(QString::fromStdString(platform::NativePath(path))), Buf(new char[BufferSize]) {
    if (!File.open(QIODevice::ReadOnly))
        throw EInOutError("Cannot open " + path);
}

void TTextFile::Fill() {
    Pos = Len = 0;
    if (Ended)
        return;
    qint64 n = File.read(Buf.get(), BufferSize);
    if (n < 0) {
        Ended = true;
        throw EInOutError("Read error");
    }
    if (n == 0) {
        Ended = true;
        return;
    }
    Len = static_cast<std::size_t>(n);
    if (const void* z = std::memchr(Buf.get(), EndOfFileChar, Len)) {
        Len = static_cast<std::size_t>(static_cast<const char*>(z) - Buf.get());
        Ended = true;
    }
    if (Transforming)
        TFileCover::TransformBytes(Buf.get(), Len);
}

void TTextFile::Unscramble() {
    if (Transforming)
        return;
    Transforming = true;
    TFileCover::TransformBytes(Buf.get() + Pos, Len - Pos);
}

bool TTextFile::TakeBufferedLine(std::string_view& line) {
    const char* begin = Buf.get() + Pos;
    const char* end = Buf.get() + Len;
    // A CR in the last buffered byte cannot start a pair here.
    for (const char* p = begin; end - p >= 2; ++p) {
        p = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(end - p - 1)));
        if (!p)
            return false;
        if (p[1] == '\n') {
            line = std::string_view(begin, static_cast<std::size_t>(p - begin));
            Pos = static_cast<std::size_t>(p + 2 - Buf.get());
            return true;
        }
    }
    return false;
}

bool TTextFile::Eof() {
    if (Pos < Len)
        return false;
    Fill();
    return Pos == Len;
}

char TTextFile::ReadChar() {
    if (Eof())
        return EndOfFileChar;
    return Buf[Pos++];
}

void TFileCover::ReadRawLine(TTextFile& f, std::string& line) {
    line.clear();
    try {
        char previous = f.ReadChar();
        for (;;) {
            if (f.Eof()) {
                // The byte read at the end is the run-time's 26: `previous` still belongs to the
                // line and the line is complete.
                line.push_back(previous);
                return;
            }
            std::string_view rest = f.Buffered();
            if (previous == '\r' && rest.front() == '\n') {
                f.Skip(1);
                return;
            }
            line.push_back(previous);
            // The first CR LF pair wholly inside the buffer ends the line.
            std::size_t from = 0;
            for (;;) {
                std::size_t cr = rest.find('\r', from);
                if (cr == std::string_view::npos || cr + 1 >= rest.size())
                    break;
                if (rest[cr + 1] == '\n') {
                    line.append(rest.data(), cr);
                    f.Skip(cr + 2);
                    return;
                }
                from = cr + 1;
            }
            // No pair here: everything but the last buffered byte belongs to the line; the last
            // one becomes `previous`, unless it is the last byte of the file, which is lost.
            line.append(rest.data(), rest.size() - 1);
            previous = rest.back();
            f.Skip(rest.size());
            if (f.Eof())
                return;
        }
    } catch (const EInOutError&) {
        ShowFileIOError("");
    }
}

void TFileCover::ReadPlainLine(TTextFile& f, std::string& line) {
    line.clear();
    while (!f.Eof()) {
        char c = f.ReadChar();
        if (c == '\n')
            return;
        if (c == '\r') {
            if (!f.Eof() && f.Buffered().front() == '\n')
                f.Skip(1);
            return;
        }
        line.push_back(c);
    }
}

void TFileCover::ReadLine(TTextFile& f, std::string& line) {
    ReadRawLine(f, line);
    if (!f.Unscrambling())
        TransformInPlace(line);
}

std::string_view TFileCover::ReadLineView(TTextFile& f, std::string& spill) {
    std::string_view line;
    if (f.Unscrambling() && f.TakeBufferedLine(line))
        return line;
    ReadLine(f, spill);
    return spill;
}

void TFileCover::TransformInPlace(std::string& s) {
    TransformBytes(s.data(), s.size());
}

void TFileCover::TransformBytes(char* data, std::size_t n) {
    // Every byte of a library passes here: sixteen at a time where the compiler offers vector
    // types (a dozen times faster than byte by byte), the rest one by one.
    auto* p = reinterpret_cast<unsigned char*>(data);
    std::size_t i = 0;
#if defined(__GNUC__)
    typedef unsigned char TBytes __attribute__((vector_size(16)));
    for (; i + sizeof(TBytes) <= n; i += sizeof(TBytes)) {
        TBytes b;
        std::memcpy(&b, p + i, sizeof b);
        TBytes control = b < 32;
        TBytes mirrored = 31 - b;
        TBytes r = (b & control) | (mirrored & ~control);
        std::memcpy(p + i, &r, sizeof r);
    }
#endif
    for (; i < n; ++i)
        p[i] = static_cast<unsigned char>(TransformChar(static_cast<char>(p[i])));
}

std::string TFileCover::TransformText(const std::string& s) {
    std::string r = s;
    TransformInPlace(r);
    return r;
}

bool IsWithinStopText(std::string_view line) {
    // Nearly every line is longer than the mark: no search for those.
    return !line.empty() && line.size() <= StopText.size() &&
           StopText.find(line) != std::string_view::npos;
}

bool IsStopLine(const std::string& line) {
    return IsWithinStopText(line) || line.find(StopText) != std::string::npos;
}
