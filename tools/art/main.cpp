// zarvo-art: draws the pictures and button faces of both picture folders.
//
//   zarvo-art --out DIR                 writes DIR/RFPF/... and DIR/EFPF/...
//   zarvo-art --contact-sheet FILE.png  writes one page showing everything
//   zarvo-art --icons DIR               writes DIR/zarvo-48.png, -128 and -256
//
// Both may be given together. The output depends only on the program and the DejaVu fonts.

#include "Catalogue.h"
#include "Icon.h"
#include "Style.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: zarvo-art [--out DIR] [--contact-sheet FILE.png] [--icons DIR]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    // Drawing needs no display; fonts and painting work on the offscreen platform.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);

    QString outDir, sheetFile, iconDir;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--out" || arg == "--contact-sheet" || arg == "--icons") && i + 1 < argc) {
            (arg == "--out"     ? outDir
             : arg == "--icons" ? iconDir
                                : sheetFile) = QString::fromLocal8Bit(argv[++i]);
        } else {
            return Usage();
        }
    }
    if (outDir.isEmpty() && sheetFile.isEmpty() && iconDir.isEmpty())
        return Usage();

    try {
        art::LoadFonts();
        const std::vector<art::TArtPiece> pieces = art::Catalogue();
        if (!outDir.isEmpty()) {
            const int written = art::WritePieces(pieces, outDir);
            std::printf("zarvo-art: %zu files in %s, %d rewritten\n", pieces.size(),
                        outDir.toLocal8Bit().constData(), written);
        }
        if (!iconDir.isEmpty()) {
            QDir().mkpath(iconDir);
            for (int size : art::IconSizes) {
                const QString file = iconDir + QStringLiteral("/zarvo-%1.png").arg(size);
                if (!art::DrawIcon(size).save(file, "PNG"))
                    throw std::runtime_error("cannot write " + file.toStdString());
            }
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
