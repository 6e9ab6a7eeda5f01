#pragma once
// The part the fuzz targets of the two library readers share: a hard stop on a broken invariant,
// and the input laid out as a library file. The first byte chooses the form of the rest: odd, the
// file as it stands; even, plain lines that are scrambled behind a good signature, so that
// mutations reach the line kinds instead of dying at the signature.

#include "content/FileCover.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <string>

inline void Require(bool ok) {
    if (!ok)
        std::abort();
}

// Writes the input as the library file `name` in a private folder and returns its path.
inline std::string WriteLibraryInput(const std::uint8_t* data, std::size_t size,
                                     const char* signature, const char* name) {
    static QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/" + name;
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (!bytes.empty() && (bytes[0] & 1) == 0)
        bytes = std::string(signature) + "\r\n" + TFileCover::TransformText(bytes.substr(1));
    else if (!bytes.empty())
        bytes.erase(0, 1);
    QFile f(QString::fromStdString(path));
    Require(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    Require(f.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
            static_cast<qint64>(bytes.size()));
    return path;
}
