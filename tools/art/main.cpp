// zarvo-art: draws the pictures and button faces of both picture folders.
//
//   zarvo-art --out DIR                 writes DIR/RFPF/... and DIR/EFPF/...
//   zarvo-art --contact-sheet FILE.png  writes one page showing everything
//
// Both may be given together. The output depends only on the program and the DejaVu fonts.

#include "Catalogue.h"
#include "Style.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: zarvo-art [--out DIR] [--contact-sheet FILE.png]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    // Drawing needs no display; fonts and painting work on the offscreen platform.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);

    QString outDir, sheetFile;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--out" || arg == "--contact-sheet") && i + 1 < argc) {
            (arg == "--out" ? outDir : sheetFile) = QString::fromLocal8Bit(argv[++i]);
        } else {
            return Usage();
        }
    }
    if (outDir.isEmpty() && sheetFile.isEmpty())
        return Usage();

    try {
        art::LoadFonts();
        const std::vector<art::TArtPiece> pieces = art::Catalogue();
        if (!outDir.isEmpty()) {
            const int written = art::WritePieces(pieces, outDir);
            std::printf("zarvo-art: %zu files in %s, %d rewritten\n", pieces.size(),
                        outDir.toLocal8Bit().constData(), written);
        }
        if (!sheetFile.isEmpty()) {
            const QImage sheet = art::ContactSheet(pieces);
            if (!sheet.save(sheetFile, "PNG"))
                throw std::runtime_error("cannot write " + sheetFile.toStdString());
            std::printf("zarvo-art: contact sheet %s (%dx%d)\n",
                        sheetFile.toLocal8Bit().constData(), sheet.width(), sheet.height());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zarvo-art: %s\n", e.what());
        return 1;
    }
    return 0;
}
