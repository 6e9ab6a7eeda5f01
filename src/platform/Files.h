#pragma once
// File system services. Callers keep the Windows forms of paths the program builds
// ("C:\\ZARVO\\RFPF\\lay2.fpf", "RFPF\\help.txt"); every call here turns '\' into '/', and where
// the exact name is missing resolves each component without regard to case, because Windows names
// ignore case and the content relies on that. Paths are cp1251 inside; the file system sees UTF-8.

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// The native (UTF-8, '/'-separated) path for a program path, with case-insensitive resolution of
// every component that does not exist under its exact name. A component that matches nothing is
// kept as written, so the result names where the file would be created.
std::string NativePath(const std::string& path);
// A native path back to the program's form (cp1251 bytes, '/' kept).
std::string FromNativePath(const std::string& native);

bool FileExists(const std::string& path);      // a regular file (or a link to one)
bool DirectoryExists(const std::string& path); // a directory
// Size in bytes of the file found by a directory search for this exact name (any attributes);
// -1 when there is no such file.
std::int64_t FileSizeBySearch(const std::string& path);
// Read-only attribute: the owner's write bit is clear.
bool FileIsReadOnly(const std::string& path);
bool SetFileReadOnly(const std::string& path, bool readOnly);
bool DeleteFile(const std::string& path);
bool RemoveDir(const std::string& path); // only an empty directory

// The most each kind of file may hold. Anything larger is not a file of that kind and is
// refused before it is read into memory, in bounded time: /dev/zero or a huge sparse file
// named in a setting would otherwise fill the memory.
constexpr std::size_t MiB = 1024 * 1024;
constexpr std::size_t MaxSettingsFileSize = 8 * MiB; // INI files, the language file, registry
constexpr std::size_t MaxFontFileSize = 16 * MiB;
constexpr std::size_t MaxHelpFileSize = 4 * MiB;
constexpr std::size_t MaxPictureFileSize = 256 * MiB;
constexpr std::size_t MaxLibraryFileSize = 256 * MiB; // variant and rule libraries, sources

// Whole file as bytes, at most `limit` of them. Opening never waits: a FIFO is read as a file
// up to the limit (one without a writer is empty), a directory or a device is refused. Throws
// EInOutError when the file cannot be opened or read, is no file or is over the limit.
std::string ReadFileBytes(const std::string& path, std::size_t limit);
// A file opened for reading in pieces of the caller's choosing.
class TReadFile {
public:
    // Throws EInOutError when the file cannot be opened or is a directory or a device. Unlike
    // ReadFileBytes, opening a FIFO waits for its writer.
    explicit TReadFile(const std::string& path);
    ~TReadFile();
    TReadFile(const TReadFile&) = delete;
    TReadFile& operator=(const TReadFile&) = delete;

    // The size of a regular file when it was opened; 0 for anything else.
    std::size_t SizeHint() const { return Hint; }
    // Up to `n` bytes into `to`: the count read, 0 at the end, -1 on a read error.
    std::ptrdiff_t Read(char* to, std::size_t n);

private:
    int Fd = -1;
    std::size_t Hint = 0;
};
// Writes a whole file atomically (temporary file in the same folder, then rename).
// Throws EInOutError on failure and leaves any existing file as it was.
void WriteFileAtomically(const std::string& path, const std::string& bytes);

// The directory part of a path including its last separator ("" when there is none).
std::string ExtractFilePath(const std::string& path);
// Ensures a trailing separator; a path that already ends in a backslash or a slash is kept.
std::string IncludeTrailingBackslash(const std::string& path);

// A write to a pipe without a reader or past the file-size limit ends the process by a signal
// unless the signal is ignored; with it ignored the write fails like any other, which is what
// the writers here handle. Safe to call any number of times.
void IgnoreWriteSignals();

// How many processors this process may run on.
unsigned ProcessorsAvailable();

// The Windows directory: $ZARVO_WINDIR, default /etc/zarvo; no trailing separator.
std::string GetWindowsDirectory();

} // namespace platform
