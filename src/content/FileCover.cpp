#include "content/FileCover.h"

#include "platform/Files.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {
constexpr std::string_view StopText = "%%STOP";
constexpr char EndOfFileChar = 26;
// A pipe whose writer sends nothing for this long counts as unreadable instead of holding up
// the start for ever.
constexpr int PipeStallMs = 5000;
// The first buffer for a file that tells no size (a pipe, a file of /proc).
constexpr std::size_t UnknownSizeStart = std::size_t{64} << 10;

struct TDescriptor {
    int Fd;
    ~TDescriptor() {
        if (Fd >= 0)
            ::close(Fd);
    }
};

[[noreturn]] void CannotRead(const std::string& path, const std::string& why) {
    throw EInOutError("Cannot read file " + path + ": " + why);
}
} // namespace

TTextFile::TTextFile(const std::string& path) {
    // Without O_NONBLOCK, opening a pipe waits until some writer opens it too.
    TDescriptor file{
        ::open(platform::NativePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.Fd < 0)
        throw EInOutError("Cannot open file " + path + ": " +
                          platform::Utf8ToAnsi(std::strerror(errno)));
    struct stat st {};
    if (::fstat(file.Fd, &st) != 0)
        CannotRead(path, platform::Utf8ToAnsi(std::strerror(errno)));
    const bool pipe = S_ISFIFO(st.st_mode);
    // A device such as /dev/zero would never end; a folder has no bytes to give.
    if (!pipe && !S_ISREG(st.st_mode))
        CannotRead(path, "not a file");
    if (st.st_size < 0 || static_cast<std::uint64_t>(st.st_size) > MaxSize)
        CannotRead(path, "larger than a library can be");

    // The extra byte takes the read that finds the end, so a file of known size needs one block.
    std::size_t capacity =
        st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : UnknownSizeStart;
    Data.reset(new char[capacity]);
    for (;;) {
        if (Len == capacity) {
            // The file tells no size or grew while it was read.
            capacity = std::min(2 * capacity, MaxSize + 1);
            std::unique_ptr<char[]> grown(new char[capacity]);
            std::memcpy(grown.get(), Data.get(), Len);
            Data = std::move(grown);
        }
        ssize_t got = ::read(file.Fd, Data.get() + Len, capacity - Len);
        if (got > 0) {
            Len += static_cast<std::size_t>(got);
            if (Len > MaxSize)
                CannotRead(path, "larger than a library can be");
            continue;
        }
        if (got == 0)
            break;
        if (errno == EINTR)
            continue;
        if (pipe && errno == EAGAIN) {
            // A writer is there but has nothing ready yet.
            pollfd wait{file.Fd, POLLIN, 0};
            int ready = ::poll(&wait, 1, PipeStallMs);
            if (ready > 0 || (ready < 0 && errno == EINTR))
                continue;
        }
        // The bytes read so far are delivered; the error is reported where they end.
        ReadFailed = true;
        break;
    }
    if (const void* end = std::memchr(Data.get(), EndOfFileChar, Len)) {
        Len = static_cast<std::size_t>(static_cast<const char*>(end) - Data.get());
        ReadFailed = false;
    }
}

bool TTextFile::Eof() {
    if (Pos < Len)
        return false;
    if (ReadFailed) {
        ReadFailed = false;
        throw EInOutError("Read error");
    }
    return true;
}

void TTextFile::Unscramble() {
    if (Transforming)
        return;
    Transforming = true;
    TFileCover::TransformBytes(Data.get() + Pos, Len - Pos);
}

std::string_view TTextFile::TakeLine(bool& cut) {
    const char* const data = Data.get();
    const char* const end = data + Len;
    const char* const start = data + Pos;
    // Only a CR directly followed by an LF ends a line; lone CR and LF bytes belong to it.
    for (const char* p = start; p < end;) {
        const auto* cr = static_cast<const char*>(std::memchr(p, '\r', end - p));
        if (!cr || cr + 1 >= end)
            break;
        if (cr[1] == '\n') {
            Pos = static_cast<std::size_t>(cr - data) + 2;
            cut = false;
            return {start, static_cast<std::size_t>(cr - start)};
        }
        p = cr + 1;
    }
    // The end of the data closes the line. The byte read as the file ends is lost, unless it is
    // the only one: the run-time reads its 26 in the place of the byte after it.
    std::size_t n = Len - Pos;
    Pos = Len;
    cut = std::exchange(ReadFailed, false);
    return {start, n > 1 ? n - 1 : n};
}

namespace {
void LineCut(platform::TReadErrors& errors) {
    errors.push_back({platform::TReadError::TKind::LineCut, {}, 0, "Read error"});
}
} // namespace

void TFileCover::ReadRawLine(TTextFile& f, std::string& line, platform::TReadErrors& errors) {
    bool cut = false;
    line.assign(f.TakeLine(cut));
    if (cut)
        LineCut(errors);
}

std::string_view TFileCover::ReadLineView(TTextFile& f, platform::TReadErrors& errors) {
    bool cut = false;
    std::string_view line = f.TakeLine(cut);
    if (cut)
        LineCut(errors);
    return line;
}

void TFileCover::ReadPlainLine(TTextFile& f, std::string& line) {
    line.clear();
    while (!f.Eof()) {
        char c = f.ReadChar();
        if (c == '\n')
            return;
        if (c == '\r') {
            if (!f.Eof() && f.Rest().front() == '\n')
                f.Skip(1);
            return;
        }
        line.push_back(c);
    }
}

void TFileCover::ReadLine(TTextFile& f, std::string& line, platform::TReadErrors& errors) {
    ReadRawLine(f, line, errors);
    if (!f.Unscrambling())
        TransformBytes(line.data(), line.size());
}

void TFileCover::TransformBytes(char* p, std::size_t n) {
    // A plain loop: the compiler vectorises it.
    for (std::size_t i = 0; i < n; ++i)
        p[i] = TransformChar(p[i]);
}

std::string TFileCover::TransformText(const std::string& s) {
    std::string r = s;
    TransformBytes(r.data(), r.size());
    return r;
}

bool IsWithinStopText(std::string_view line) {
    return !line.empty() && StopText.find(line) != std::string_view::npos;
}

bool IsStopLine(std::string_view line) {
    return IsWithinStopText(line) || line.find(StopText) != std::string_view::npos;
}
