#include "content/FileCover.h"

#include "app/Reports.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {
constexpr std::string_view StopText = "%%STOP";

// A pause in a busy wait, which leaves the processor's resources to the other thread on it.
inline void Relax() {
#if defined(__x86_64__)
    _mm_pause();
#endif
}
constexpr char EndOfFileChar = 26;
constexpr std::size_t PieceSize = TTextFile::PieceSize;

// Prepares the bytes [from, to) just read, up to the first byte 26, where the data ends: undoes
// the content transformation when `transform` is set, and marks in `pairs` (bit p % 64 of word
// p / 64) each position p where a CR LF pair begins whose LF is before that end. Returns that
// end. One pass does it all, 64 bytes at a time where the processor has vector instructions.
using TPrepare = std::size_t (*)(char* data, std::size_t from, std::size_t to, bool transform,
                                 std::uint64_t* pairs);

// One byte at a time: up to a multiple of 64, the tail of a piece, a vector that holds a 26, and
// processors without vector instructions.
std::size_t PrepareBytes(char* data, std::size_t p, std::size_t to, bool transform,
                         std::uint64_t* pairs) {
    for (; p < to; ++p) {
        if (data[p] == EndOfFileChar)
            return p;
        if (transform)
            data[p] = TFileCover::TransformChar(data[p]);
        if (data[p] == '\r' && p + 1 < to && data[p + 1] == '\n')
            pairs[p / 64] |= std::uint64_t{1} << (p % 64);
    }
    return to;
}

// The bytes up to the next multiple of 64 (or `to`), one at a time, so that vectors take whole
// words of `pairs`; false, with `p` at it, when a 26 ends the data among them.
bool AlignByBytes(char* data, std::size_t& p, std::size_t to, bool transform,
                  std::uint64_t* pairs) {
    const std::size_t head = std::min(to, (p + 63) / 64 * 64);
    p = PrepareBytes(data, p, head, transform, pairs);
    return p == head;
}

#if defined(__x86_64__)
// CR, LF and 26 are below 32, so they are found alike before and after the transformation:
// 31 - b for b of 32 and more, b itself below 32. Each vector loop takes whole words of `pairs`
// while the byte after them has been read.
std::size_t PrepareSse2(char* data, std::size_t p, std::size_t to, bool transform,
                        std::uint64_t* pairs) {
    if (!AlignByBytes(data, p, to, transform, pairs))
        return p;
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i eof = _mm_set1_epi8(EndOfFileChar);
    const __m128i k31 = _mm_set1_epi8(31);
    for (; to - p > 64; p += 64) {
        __m128i b[4];
        int ends = 0;
        for (int k = 0; k < 4; ++k) {
            b[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + p + 16 * k));
            ends |= _mm_movemask_epi8(_mm_cmpeq_epi8(b[k], eof));
        }
        if (ends)
            break;
        std::uint64_t m = 0;
        for (int k = 0; k < 4; ++k) {
            const char* q = data + p + 16 * k;
            __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 1));
            auto found = static_cast<unsigned>(_mm_movemask_epi8(
                _mm_and_si128(_mm_cmpeq_epi8(b[k], cr), _mm_cmpeq_epi8(next, lf))));
            m |= std::uint64_t{found} << (16 * k);
            if (transform) {
                __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(b[k], k31), b[k]); // below 32
                __m128i mirrored = _mm_sub_epi8(k31, b[k]);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(data + p + 16 * k),
                                 _mm_or_si128(_mm_and_si128(control, b[k]),
                                              _mm_andnot_si128(control, mirrored)));
            }
        }
        pairs[p / 64] = m;
    }
    return PrepareBytes(data, p, to, transform, pairs);
}

__attribute__((target("avx512bw"))) std::size_t
PrepareAvx512(char* data, std::size_t p, std::size_t to, bool transform, std::uint64_t* pairs) {
    if (!AlignByBytes(data, p, to, transform, pairs))
        return p;
    const __m512i cr = _mm512_set1_epi8('\r');
    const __m512i lf = _mm512_set1_epi8('\n');
    const __m512i eof = _mm512_set1_epi8(EndOfFileChar);
    const __m512i k31 = _mm512_set1_epi8(31);
    for (; to - p > 64; p += 64) {
        __m512i b = _mm512_loadu_si512(data + p);
        if (_mm512_cmpeq_epi8_mask(b, eof))
            break;
        __m512i next = _mm512_loadu_si512(data + p + 1);
        pairs[p / 64] = _mm512_cmpeq_epi8_mask(b, cr) & _mm512_cmpeq_epi8_mask(next, lf);
        if (transform) {
            __mmask64 control = _mm512_cmple_epu8_mask(b, k31);
            _mm512_storeu_si512(data + p,
                                _mm512_mask_blend_epi8(control, _mm512_sub_epi8(k31, b), b));
        }
    }
    return PrepareBytes(data, p, to, transform, pairs);
}

__attribute__((target("avx2"))) std::size_t PrepareAvx2(char* data, std::size_t p, std::size_t to,
                                                        bool transform, std::uint64_t* pairs) {
    if (!AlignByBytes(data, p, to, transform, pairs))
        return p;
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i eof = _mm256_set1_epi8(EndOfFileChar);
    const __m256i k31 = _mm256_set1_epi8(31);
    for (; to - p > 64; p += 64) {
        auto* q = reinterpret_cast<__m256i*>(data + p);
        __m256i lo = _mm256_loadu_si256(q);
        __m256i hi = _mm256_loadu_si256(q + 1);
        if (_mm256_movemask_epi8(
                _mm256_or_si256(_mm256_cmpeq_epi8(lo, eof), _mm256_cmpeq_epi8(hi, eof))))
            break;
        __m256i nextLo = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + p + 1));
        __m256i nextHi = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + p + 33));
        auto pairsLo = static_cast<std::uint32_t>(_mm256_movemask_epi8(
            _mm256_and_si256(_mm256_cmpeq_epi8(lo, cr), _mm256_cmpeq_epi8(nextLo, lf))));
        auto pairsHi = static_cast<std::uint32_t>(_mm256_movemask_epi8(
            _mm256_and_si256(_mm256_cmpeq_epi8(hi, cr), _mm256_cmpeq_epi8(nextHi, lf))));
        pairs[p / 64] = std::uint64_t{pairsHi} << 32 | pairsLo;
        if (transform) {
            __m256i controlLo = _mm256_cmpeq_epi8(_mm256_min_epu8(lo, k31), lo);
            __m256i controlHi = _mm256_cmpeq_epi8(_mm256_min_epu8(hi, k31), hi);
            _mm256_storeu_si256(q, _mm256_blendv_epi8(_mm256_sub_epi8(k31, lo), lo, controlLo));
            _mm256_storeu_si256(q + 1, _mm256_blendv_epi8(_mm256_sub_epi8(k31, hi), hi, controlHi));
        }
    }
    return PrepareBytes(data, p, to, transform, pairs);
}
#endif

TPrepare PrepareFor(TVectorLevel level) {
    switch (level) {
#if defined(__x86_64__)
    case TVectorLevel::Sse2:
        return PrepareSse2;
    case TVectorLevel::Avx2:
        return PrepareAvx2;
    case TVectorLevel::Avx512:
        return PrepareAvx512;
#endif
    default:
        return PrepareBytes;
    }
}

// Set on first use, so that it is ready even for a static initialiser of another file; atomic,
// since a read-ahead thread may use it.
std::atomic<TPrepare>& Chosen() {
    static std::atomic<TPrepare> chosen{PrepareFor(VectorLevels().back())};
    return chosen;
}

std::size_t Prepare(char* data, std::size_t from, std::size_t to, bool transform,
                    std::uint64_t* pairs) {
    return Chosen().load(std::memory_order_relaxed)(data, from, to, transform, pairs);
}
} // namespace

std::vector<TVectorLevel> VectorLevels() {
    std::vector<TVectorLevel> levels = {TVectorLevel::Bytes};
#if defined(__x86_64__)
    __builtin_cpu_init();
    levels.push_back(TVectorLevel::Sse2);
    if (__builtin_cpu_supports("avx2"))
        levels.push_back(TVectorLevel::Avx2);
    if (__builtin_cpu_supports("avx512bw"))
        levels.push_back(TVectorLevel::Avx512);
#endif
    return levels;
}

void UseVectorLevel(TVectorLevel level) {
    Chosen().store(PrepareFor(level), std::memory_order_relaxed);
}

TTextFile::TTextFile(const std::string& path) : File(new platform::TReadFile(path)) {
    // One block for the whole file when its size is known; the extra byte lets the read that
    // finds the end go into the block instead of making a new one.
    NewBlock(std::max<std::size_t>(File->SizeHint() + 1, PieceSize));
    // With one processor the thread would only take turns with this one.
    if (File->SizeHint() >= ReadAheadSize && platform::ProcessorsAvailable() > 1) {
        try {
            Reader = std::thread([this] { ReadAhead(); });
        } catch (const std::system_error&) {
            // No thread to be had: the file is read here, as a small one is.
        }
    }
}

TTextFile::~TTextFile() {
    StopReadingAhead();
}

void TTextFile::NewBlock(std::size_t capacity) {
    Blocks.emplace_back(new char[capacity]);
    Data = Blocks.back().get();
    Capacity = capacity;
    // Each word is cleared when the first piece that reaches it is read, while it is cached.
    Pairs.reset(new std::uint64_t[capacity / 64 + 1]);
}

void TTextFile::Close() {
    StopReadingAhead();
    File.reset();
    Ended = true;
}

void TTextFile::StopReadingAhead() {
    if (Reader.joinable()) {
        StopReader.store(true, std::memory_order_relaxed);
        Reader.join();
    }
}

std::size_t TTextFile::ReadPiece(std::size_t len, bool transform, bool& ended, bool& failed) {
    std::ptrdiff_t got = File->Read(Data + len, std::min(PieceSize, Capacity - len));
    if (got <= 0) {
        ended = true;
        failed = got < 0;
        return 0;
    }
    auto n = static_cast<std::size_t>(got);
    std::fill(Pairs.get() + (len + 63) / 64, Pairs.get() + (len + n + 63) / 64, 0);
    // A CR that ended the last piece waited for this byte.
    if (len > 0 && Data[len - 1] == '\r' && Data[len] == '\n')
        Pairs[(len - 1) / 64] |= std::uint64_t{1} << ((len - 1) % 64);
    std::size_t end = Prepare(Data, len, len + n, transform, Pairs.get());
    if (end < len + n) {
        n = end - len;
        ended = true;
    }
    return n;
}

void TTextFile::ReadAhead() {
    bool ended = false;
    bool failed = false;
    std::size_t len = 0;
    bool transform = false;
    while (!ended && len < Capacity && !StopReader.load(std::memory_order_relaxed)) {
        if (!transform && AheadTransform.load(std::memory_order_acquire)) {
            transform = true;
            AheadTransformFrom.store(len, std::memory_order_relaxed);
        }
        len += ReadPiece(len, transform, ended, failed);
        // The word of the last byte read may still change with the next piece (a CR there waits
        // for an LF), and so may the words after it: only what lies before it is published.
        if (len > 64) {
            Published.store(std::uint64_t{(len - 1) / 64 * 64} << 1, std::memory_order_release);
            Published.notify_one();
        }
    }
    AheadEnded = ended;
    AheadFailed = failed;
    Published.store(std::uint64_t{len} << 1 | 1, std::memory_order_release);
    Published.notify_one();
}

bool TTextFile::TakeReadAhead() {
    // A piece comes every few dozen microseconds, far sooner than a sleeping thread is woken:
    // look for it a while before sleeping.
    std::uint64_t seen = Published.load(std::memory_order_acquire);
    const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(300);
    for (unsigned spins = 0; !(seen & 1) && (seen >> 1) <= Len; ++spins) {
        if (spins % 64 == 63 && std::chrono::steady_clock::now() > until)
            Published.wait(seen, std::memory_order_acquire);
        else
            Relax();
        seen = Published.load(std::memory_order_acquire);
    }
    const std::size_t ready = static_cast<std::size_t>(seen >> 1);
    const std::size_t added = ready - Len;
    // What the thread read before it was told to unscramble is unscrambled here.
    if (Transforming) {
        std::size_t from = AheadTransformFrom.load(std::memory_order_relaxed);
        if (from > Len)
            TFileCover::TransformBytes(Data + Len, std::min(from, ready) - Len);
    }
    Len = ready;
    if (seen & 1) {
        Reader.join();
        Ended = AheadEnded;
        ReadFailed = AheadFailed;
    }
    return added > 0;
}

bool TTextFile::Fill() {
    Walking = false;
    if (Reader.joinable()) {
        if (TakeReadAhead())
            return true;
        // The thread has finished and nothing more came; it stopped short of the end only when
        // the file outgrew its size, and the reading goes on here.
    }
    if (Ended || !File)
        return false;
    if (Len == Capacity) {
        // The file grew while it was read, or has no size. The lines already taken stay where
        // they are, in the old block; the unfinished rest moves to a new one.
        const char* old = Data;
        std::size_t keep = Len - Pos;
        NewBlock(std::max(2 * Capacity, keep + PieceSize));
        std::memcpy(Data, old + Pos, keep);
        std::fill(Pairs.get(), Pairs.get() + (keep + 63) / 64, 0);
        for (std::size_t p = 0; p + 1 < keep; ++p)
            if (Data[p] == '\r' && Data[p + 1] == '\n')
                Pairs[p / 64] |= std::uint64_t{1} << (p % 64);
        Pos = 0;
        Len = keep;
    }
    std::size_t n = ReadPiece(Len, Transforming, Ended, ReadFailed);
    Len += n;
    return n > 0;
}

bool TTextFile::AtEnd() {
    while (Fill())
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
    TFileCover::TransformBytes(Data + Pos, Len - Pos);
    if (Reader.joinable())
        AheadTransform.store(true, std::memory_order_release);
}

std::string_view TTextFile::TakeLineReadingOn(bool& cut) {
    cut = false;
    while (Fill()) {
        std::string_view line;
        if (TakeFoundLine(line))
            return line;
    }
    // The end of the data closes the line. The byte read as the file ends is lost, unless it is
    // the only one: the run-time reads its 26 in the place of the byte after it.
    std::size_t n = Len - Pos;
    std::string_view line(Data + Pos, n > 1 ? n - 1 : n);
    Pos = Len;
    if (ReadFailed) {
        ReadFailed = false;
        cut = true;
    }
    return line;
}

void TFileCover::ReadRawLine(TTextFile& f, std::string& line) {
    bool cut = false;
    line.assign(f.TakeLine(cut));
    if (cut)
        ReportReadError();
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

void TFileCover::ReportReadError() {
    ShowFileIOError("");
}

void TFileCover::TransformInPlace(std::string& s) {
    TransformBytes(s.data(), s.size());
}

void TFileCover::TransformBytes(char* data, std::size_t n) {
    // The same pass that prepares a piece of a library, with its pair positions dropped.
    // A 26 is transformed like any byte below 32: it stays.
    constexpr std::size_t Step = 4096;
    std::uint64_t pairs[Step / 64] = {};
    for (std::size_t done = 0; done < n;) {
        std::size_t step = std::min(n - done, Step);
        std::size_t end = Prepare(data + done, 0, step, true, pairs);
        done += end < step ? end + 1 : step;
    }
}

std::string TFileCover::TransformText(const std::string& s) {
    std::string r = s;
    TransformInPlace(r);
    return r;
}

bool IsWithinShortStopText(std::string_view line) {
    return StopText.find(line) != std::string_view::npos;
}

bool IsStopLine(const std::string& line) {
    return IsWithinStopText(line) || line.find(StopText) != std::string::npos;
}
