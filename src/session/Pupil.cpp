#include "session/Pupil.h"

#include "app/Reports.h"
#include "app/Strings.h"
#include "platform/Files.h"
#include "platform/Text.h"

#include <QLocale>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
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

// Takes the exclusive advisory lock on the whole file, waiting a few seconds at most: a lock
// that a hung machine keeps on a shared folder must not hang the trainer, and losing the block
// would be worse than the small chance of mixing it with another one. A file system without
// locks is written without one.
bool LockForAppend(int fd) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    for (int attempt = 0; attempt < 150; ++attempt) {
        if (::fcntl(fd, F_SETLK, &lock) == 0)
            return true;
        if (errno != EACCES && errno != EAGAIN && errno != EINTR)
            return false;
        ::usleep(20000);
    }
    return false;
}

// Appends under the lock on the file itself. In a school lab many copies write to one shared
// results file: the lock keeps their blocks whole, and testing for an empty file under the lock
// (not for a missing one before opening) writes the caption exactly once when two copies create
// the file at the same moment. POSIX record locks, unlike flock, also hold on network file
// systems.
//
// The folder is writable by every pupil, so whatever stands under the name is untrusted: the
// open never waits (a FIFO without a reader would hang the trainer), only a regular file is
// appended to, and a block that could not be written whole (a full disk, a size limit) is cut
// off again, so that every later reader of the file sees whole blocks only.
bool AppendLocked(const std::string& path, const std::string& caption, const std::string& block) {
    platform::IgnoreWriteSignals();
    int fd = ::open(platform::NativePath(path).c_str(),
                    O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    LockForAppend(fd);
    bool ok = ::fstat(fd, &st) == 0;
    if (ok) {
        const std::string bytes = st.st_size == 0 ? caption + block : block;
        const std::size_t done = WriteAll(fd, bytes);
        if (done != bytes.size()) {
            ok = false;
            // Cut back only what this call wrote: a copy that appended meanwhile without the
            // lock (one was not to be had) keeps its block.
            struct stat now {};
            if (done > 0 && ::fstat(fd, &now) == 0 &&
                now.st_size == st.st_size + static_cast<off_t>(done))
                (void)!::ftruncate(fd, st.st_size);
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
    std::size_t s = SpellingMistakes.size(), p = PunctuationMistakes.size();
    if (Prompts > 2)
        return 0;
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
