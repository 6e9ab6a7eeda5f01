#include "Catalogue.h"

#include "Faces.h"
#include "Pictures.h"
#include "Style.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <stdexcept>

namespace art {

namespace {

void AddScreens(std::vector<TArtPiece>& out, const TWording& w) {
    for (int n = 1; n <= 4; ++n) {
        const QSize screen = ScreenOfClass(n);
        const QString digit = QString::number(n);
        out.push_back({w.Folder, "intro" + digit + ".fpf", TFormat::Bmp, screen,
                       [&w, screen] { return DrawIntro(w, screen); }});
        out.push_back({w.Folder, "lay" + digit + ".fpf", TFormat::Bmp, screen,
                       [&w, screen] { return DrawLay(w, screen); }});
        const QSize panel(screen.width(), ButtonPanelHeight);
        out.push_back({w.Folder, "button" + digit + ".fpf", TFormat::Jpeg, panel,
                       [panel] { return DrawButtonPanel(panel.width()); }});
        out.push_back({w.Folder, "res" + digit + ".fpf", TFormat::Bmp, screen,
                       [&w, screen] { return DrawResults(w, screen); }});
    }
    out.push_back({w.Folder, "arrow.fpf", TFormat::Bmp, ArrowSize, [&w] { return DrawArrow(w); }});
    out.push_back(
        {w.Folder, "praise.fpf", TFormat::Jpeg, PraiseSize, [&w] { return DrawPraise(w); }});
    out.push_back({w.Folder, "right.fpf", TFormat::Jpeg, RightSize, [&w] { return DrawRight(w); }});
    out.push_back({w.Folder, "slip.fpf", TFormat::Jpeg, SlipSize, [&w] { return DrawSlip(w); }});
    out.push_back({w.Folder, "exit.fpf", TFormat::Bmp, ExitSize, [&w] { return DrawExit(w); }});
    out.push_back({w.Folder, "frame.fpf", TFormat::Bmp, FrameSize, [] { return DrawFrame(); }});
    out.push_back(
        {w.Folder, "pointer.fpf", TFormat::Bmp, PointerSize, [] { return DrawPointer(); }});
}

QString FaceFileName(int number, bool pressed) {
    return QStringLiteral("%1%2.fbf").arg(pressed ? 1 : 0).arg(number, 3, 10, QChar('0'));
}

void AddFaces(std::vector<TArtPiece>& out, const TWording& w) {
    for (int number : ButtonNumbers())
        for (bool pressed : {false, true})
            out.push_back({w.Folder, FaceFileName(number, pressed), TFormat::Bmp, FaceSize(number),
                           [&w, number, pressed] { return DrawButtonFace(number, pressed, w); }});
}

} // namespace

std::vector<TArtPiece> Catalogue() {
    std::vector<TArtPiece> out;
    for (TLanguage language : {TLanguage::Russian, TLanguage::English}) {
        const TWording& w = WordingFor(language);
        AddScreens(out, w);
        AddFaces(out, w);
    }
    return out;
}

QByteArray RenderPiece(const TArtPiece& piece) {
    const QImage image = piece.Draw();
    const QString name = piece.Folder + "/" + piece.FileName;
    if (image.size() != piece.Size)
        throw std::runtime_error("drawn at the wrong size: " + name.toStdString());
    QByteArray bytes = Encode(image, piece.Format);
    if (bytes.isEmpty())
        throw std::runtime_error("cannot encode " + name.toStdString());
    return bytes;
}

int WritePieces(const std::vector<TArtPiece>& pieces, const QString& outDir) {
    int written = 0;
    for (const TArtPiece& piece : pieces) {
        const QString folder = QDir(outDir).filePath(piece.Folder);
        if (!QDir().mkpath(folder))
            throw std::runtime_error("cannot create " + folder.toStdString());
        const QString path = QDir(folder).filePath(piece.FileName);
        const QByteArray bytes = RenderPiece(piece);
        // Unchanged files keep their time, so what depends on them is not rebuilt.
        QFile old(path);
        if (old.open(QIODevice::ReadOnly) && old.readAll() == bytes)
            continue;
        old.close();
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            throw std::runtime_error("cannot write " + path.toStdString() + ": " +
                                     file.errorString().toStdString());
        ++written;
    }
    return written;
}

QImage ContactSheet(const std::vector<TArtPiece>& pieces) {
    // Screen pictures in tiles of one size, button faces in smaller ones; each tile shows the
    // piece decoded from its file bytes, so the sheet shows what the trainer will read.
    constexpr int Columns = 8;
    constexpr int TileW = 300, TileH = 250, LabelH = 18, FaceTileW = 150, FaceTileH = 120;
    std::vector<const TArtPiece*> screens, faces;
    for (const TArtPiece& piece : pieces)
        (piece.FileName.endsWith(".fbf") ? faces : screens).push_back(&piece);
    const int faceColumns = Columns * TileW / FaceTileW;
    const int screenRows = int(screens.size() + Columns - 1) / Columns;
    const int faceRows = int(faces.size() + faceColumns - 1) / faceColumns;
    QImage sheet =
        NewImage(Columns * TileW, screenRows * TileH + faceRows * FaceTileH, QColor(96, 100, 112));
    QPainter p(&sheet);
    Prepare(p);
    auto tile = [&p](const TArtPiece& piece, QRect cell) {
        const QImage image = Decode(RenderPiece(piece), piece.Format);
        const QRect area = cell.adjusted(6, 6, -6, -6 - LabelH);
        const QSize fitted = image.size().scaled(area.size(), Qt::KeepAspectRatio);
        const QSize shown = image.width() <= area.width() && image.height() <= area.height()
                                ? image.size()
                                : fitted;
        const QRect target(area.left() + (area.width() - shown.width()) / 2,
                           area.top() + (area.height() - shown.height()) / 2, shown.width(),
                           shown.height());
        p.drawImage(target, image);
        p.setPen(QColor(240, 240, 240));
        p.setFont(ArtFont(TTypeface::Sans, 12));
        p.drawText(QRect(cell.left(), cell.bottom() - LabelH - 2, cell.width(), LabelH),
                   Qt::AlignCenter,
                   piece.Folder + "/" + piece.FileName +
                       QStringLiteral("  %1\u00D7%2").arg(image.width()).arg(image.height()));
    };
    for (std::size_t i = 0; i < screens.size(); ++i)
        tile(*screens[i], QRect(int(i % Columns) * TileW, int(i / Columns) * TileH, TileW, TileH));
    for (std::size_t i = 0; i < faces.size(); ++i)
        tile(*faces[i],
             QRect(int(i % faceColumns) * FaceTileW,
                   screenRows * TileH + int(i / faceColumns) * FaceTileH, FaceTileW, FaceTileH));
    return sheet;
}

} // namespace art
