#include "session/Pupil.h"

#include "app/Reports.h"
#include "app/Strings.h"
#include "platform/Files.h"
#include "platform/Text.h"

#include <QLocale>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

const char* const CRLF = "\r\n";

void AddLine(std::string& out, const std::string& line) {
    out += line;
    out += CRLF;
}

void AddMistakes(std::string& out, const std::vector<std::string>& list, const std::string& none,
                 const std::string& heading) {
    if (list.empty()) {
        AddLine(out, " " + none);
        return;
    }
    AddLine(out, " " + heading + " " + std::to_string(list.size()) + ":");
    // Each identifier stands in the column just after the heading's label.
    const std::string indent(1 + heading.size(), ' ');
    for (const std::string& rule : list)
        AddLine(out, indent + rule);
}

// Writes all bytes; returns how many were written before a failure (the size when all were).
std::size_t WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

// Takes the exclusive advisory lock on the whole file, waiting some seconds at most: a lock that
// a hung machine keeps on a shared folder must not hang the trainer, and losing the block would
// be worse than the small chance of mixing it with another one. False without the lock (also on
// a file system without locks).
bool LockForAppend(int fd) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    for (int attempt = 0; attempt < 250; ++attempt) {
        if (::fcntl(fd, F_SETLK, &lock) == 0)
            return true;
        if (errno != EACCES && errno != EAGAIN && errno != EINTR)
            return false;
        ::usleep(20000);
    }
    return false;
}

// Makes sure the file has room for `size` more bytes before any is written, so that a full disk
// leaves the file as it was instead of with a torn block. Reserving with KEEP_SIZE is allowed on
// an append-only file (which cannot be cut back afterwards); where the file system cannot
// reserve, the free space is asked instead.
bool ReserveForAppend(int fd, off_t end, std::size_t size) {
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, end, static_cast<off_t>(size)) == 0)
        return true;
    if (errno != EOPNOTSUPP && errno != ENOSYS && errno != EINVAL)
        return false;
    struct statvfs fs {};
    if (::fstatvfs(fd, &fs) != 0)
        return true; // nothing to go by: the write itself will tell
    const unsigned long long block = fs.f_frsize ? fs.f_frsize : fs.f_bsize;
    // The block may start in a partly used block and end in a new one.
    return static_cast<unsigned long long>(fs.f_bavail) * block >= size + 2 * block;
}

// Whether the file's last byte ends a line; true for an empty file or one that cannot be read
// (a descriptor opened for writing only).
bool EndsWithLineEnd(int fd, off_t size) {
    if (size == 0)
        return true;
    char last = '\n';
    return ::pread(fd, &last, 1, size - 1) != 1 || last == '\n';
}

// Appends under the lock on the file itself. In a school lab many copies write to one shared
// results file: the lock keeps their blocks whole, and the caption is written only by the copy
// that finds the file empty while it holds the lock, so that two copies creating the file at the
// same moment cannot both write it. A copy that did not get the lock appends its block alone.
// POSIX record locks, unlike flock, also hold on network file systems.
//
// The folder is writable by every pupil, so whatever stands under the name is untrusted: the
// open never waits (a FIFO without a reader would hang the trainer), only a regular file is
// appended to. The block's room is reserved first; a block that was still not written whole is
// cut off again, and where that is impossible (an append-only file) the torn part is ended with
// a line end, so that the next block starts on a fresh line and a reader skips only the damaged
// one.
bool AppendLocked(const std::string& path, const std::string& caption, const std::string& block) {
    platform::IgnoreWriteSignals();
    const std::string native = platform::NativePath(path);
    const int flags = O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    // Read access lets a writer see whether an earlier torn block was left without a line end.
    int fd = ::open(native.c_str(), O_RDWR | flags, 0666);
    if (fd < 0)
        fd = ::open(native.c_str(), O_WRONLY | flags, 0666);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    const bool locked = LockForAppend(fd);
    bool ok = ::fstat(fd, &st) == 0;
    if (ok) {
        std::string bytes = locked && st.st_size == 0 ? caption + block : block;
        if (!EndsWithLineEnd(fd, st.st_size))
            bytes = CRLF + bytes;
        ok = ReserveForAppend(fd, st.st_size, bytes.size());
        const std::size_t done = ok ? WriteAll(fd, bytes) : 0;
        if (ok && done != bytes.size()) {
            ok = false;
            // Cut back only what this call wrote: a copy that appended meanwhile without the
            // lock (one was not to be had) keeps its block.
            struct stat now {};
            const bool ours = done > 0 && ::fstat(fd, &now) == 0 &&
                              now.st_size == st.st_size + static_cast<off_t>(done);
            if (ours && ::ftruncate(fd, st.st_size) != 0 && bytes[done - 1] != '\n')
                (void)WriteAll(fd, CRLF);
        }
    }
    // Closing releases the lock.
    if (::close(fd) != 0)
        ok = false;
    return ok;
}

} // namespace

TFPupil::TFPupil(const std::string& name, const std::string& schoolClass, const std::string& theme,
                 const std::string& variant) {
    Init(name, schoolClass, theme, variant);
}

void TFPupil::Init(const std::string& name, const std::string& schoolClass,
                   const std::string& theme, const std::string& variant) {
    PupilName = name;
    SchoolClass = schoolClass;
    ThemeName = theme;
    VariantName = variant;
    PunctuationMistakes.clear();
    SpellingMistakes.clear();
    Questions = 0;
    Prompts = 0;
}

std::uint8_t TFPupil::GetMark() const {
    if (Prompts > 2)
        return 0;
    return MarkFor(SpellingMistakes.size(), PunctuationMistakes.size());
}

std::uint8_t MarkFor(std::size_t s, std::size_t p) {
    if (s == 0 && p == 0)
        return 5;
    if (s <= 2 && p <= 4)
        return 4;
    if ((s <= 4 && p <= 7) || (s <= 3 && p <= 8))
        return 3;
    return 2;
}

std::string RoundVariantName(const std::string& variant) {
    return strWorkOnMistakes + " " + variant;
}

std::string FormatResultsDateTime(const QDateTime& moment) {
    QLocale locale = QLocale::system();
    QString text = locale.toString(moment.date(), QLocale::ShortFormat);
    if (moment.time() != QTime(0, 0))
        text += " " + locale.toString(moment.time(), "hh:mm:ss");
    return platform::ToAnsi(text);
}

std::string TFPupil::ResultsBlock(const QDateTime& now, bool interrupted) const {
    std::string out;
    AddLine(out, "");
    AddLine(out, FormatResultsDateTime(now));
    AddLine(out, strPupil + " " + PupilName);
    AddLine(out, strVarClass + " " + SchoolClass);
    AddLine(out, strVarTheme + " " + ThemeName);
    AddLine(out, strVarVariant + " " + VariantName);
    AddLine(out, strQuestionsQuantity + " " + std::to_string(Questions));
    AddLine(out, strMistakesQuantity + " " + std::to_string(MistakesCount()));
    AddMistakes(out, SpellingMistakes, strNoSpellingMistakes, strSpellingMistakes);
    AddMistakes(out, PunctuationMistakes, strNoPunctuationMistakes, strPunctuationMistakes);
    AddLine(out, strPrompts + " " + std::to_string(Prompts));
    if (interrupted)
        AddLine(out, strBroken);
    else if (std::uint8_t mark = GetMark(); mark > 0)
        AddLine(out, strMark + " " + std::to_string(mark));
    else
        AddLine(out, strNoMark);
    return out;
}

void TFPupil::SaveResults(const std::string& fileName, bool interrupted) {
    const std::string& file = fileName;
    std::string block = ResultsBlock(QDateTime::currentDateTime(), interrupted);
    if (file.empty() || !AppendLocked(file, strResultFileCaption + CRLF, block))
        ShowResultFileError();
}
