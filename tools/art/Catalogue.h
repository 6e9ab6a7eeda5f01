#pragma once

#include "ImageFiles.h"
#include "Wording.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <vector>

// Everything zarvo-art makes: one entry per file of the two picture folders.
namespace art {

struct TArtPiece {
    QString Folder;   // "RFPF" or "EFPF"
    QString FileName; // "intro1.fpf", "0067.fbf", ...
    TFormat Format;
    QSize Size;
    std::function<QImage()> Draw;
};

// Both picture folders: the screen pictures of every size class and every button face,
// released and pressed.
std::vector<TArtPiece> Catalogue();

// Draws and encodes one piece; throws std::runtime_error when the drawing has the wrong size
// or the encoder fails.
QByteArray RenderPiece(const TArtPiece& piece);

// Writes every piece to outDir/<Folder>/<FileName>, replacing what is there; a file whose bytes
// are already right is left untouched. Returns the number of files written. Throws
// std::runtime_error on the first file that cannot be written.
int WritePieces(const std::vector<TArtPiece>& pieces, const QString& outDir);

// One page with every piece scaled into a labelled tile, for a person to look over.
QImage ContactSheet(const std::vector<TArtPiece>& pieces);

} // namespace art
