#include "FontTool.h"

#include "FontBuild.h"
#include "GlyphSource.h"
#include "Proof.h"

#include <QFile>
#include <QSaveFile>
#include <QString>
#include <ostream>

namespace fonttool {

namespace {

const char* const Usage =
    "Usage: zarvo-font --output Zarvo.fff [--proof FILE.png] [--terminus DIR] [--dejavu DIR]\n"
    "       zarvo-font --input Zarvo.fff --proof FILE.png\n"
    "Builds the trainer's font file (140 characters in cells of 12x18, 16x24, 24x36 and 32x48\n"
    "pixels) from installed fonts: Terminus (xfonts-terminus) for the two small cells, DejaVu\n"
    "Sans Mono Bold (fonts-dejavu-core) for the two large ones. With --input it reads an\n"
    "existing font file instead. --proof draws every glyph of every size into a PNG file.\n"
    "  --terminus DIR   folder of the Terminus PCF files (default /usr/share/fonts/X11/misc)\n"
    "  --dejavu DIR     folder of the DejaVu fonts (default /usr/share/fonts/truetype/dejavu)\n";

struct TOptions {
    std::string Output, Proof, Input;
    TSourceDirs Dirs;
    bool Help = false;
};

bool Parse(const std::vector<std::string>& args, TOptions& o, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.Help = true;
            continue;
        }
        std::string* target = a == "--output" || a == "-o" ? &o.Output
                              : a == "--proof"             ? &o.Proof
                              : a == "--input"             ? &o.Input
                              : a == "--terminus"          ? &o.Dirs.Terminus
                              : a == "--dejavu"            ? &o.Dirs.DejaVu
                                                           : nullptr;
        if (!target) {
            error = "unknown option " + a;
            return false;
        }
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            error = a + " needs a value";
            return false;
        }
        *target = args[++i];
    }
    if (o.Help)
        return true;
    if (!o.Input.empty() && !o.Output.empty()) {
        error = "--input and --output do not go together";
        return false;
    }
    if (o.Output.empty() && o.Proof.empty()) {
        error = "nothing to do: give --output or --proof";
        return false;
    }
    return true;
}

bool WriteWhole(const std::string& path, const std::string& bytes, std::string& error) {
    // The old file stays as it was unless the new one is complete.
    QSaveFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::WriteOnly) ||
        f.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !f.commit()) {
        error = "cannot write " + path + ": " + f.errorString().toStdString();
        return false;
    }
    return true;
}

} // namespace

int RunFontTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    TOptions o;
    std::string error;
    if (!Parse(args, o, error)) {
        err << "zarvo-font: " << error << "\n" << Usage;
        return 2;
    }
    if (o.Help) {
        out << Usage;
        return 0;
    }

    // Whatever the proof shows is read back from the file's bytes, so it shows the file.
    TFFont fonts(TFFont::TBlank{}, 1024);
    try {
        std::string bytes;
        if (!o.Input.empty()) {
            QFile f(QString::fromStdString(o.Input));
            if (!f.open(QIODevice::ReadOnly)) {
                err << "zarvo-font: cannot read " << o.Input << "\n";
                return 1;
            }
            const QByteArray data = f.readAll();
            bytes.assign(data.constData(), static_cast<std::size_t>(data.size()));
        } else {
            TFFont built(TFFont::TBlank{}, 1024);
            TBuildReport report;
            BuildFonts(BundledRecipes(o.Dirs), built, report);
            for (const std::string& w : report.Warnings)
                err << "zarvo-font: warning: " << w << "\n";
            bytes = EncodeFontFile(built);
        }
        try {
            fonts.LoadFromBytes(bytes);
        } catch (const std::exception& e) {
            err << "zarvo-font: " << (o.Input.empty() ? std::string("the built font") : o.Input)
                << " does not read back as a font file: " << e.what() << "\n";
            return 1;
        }
        if (!o.Output.empty() && !WriteWhole(o.Output, bytes, error)) {
            err << "zarvo-font: " << error << "\n";
            return 1;
        }
    } catch (const ESourceError& e) {
        err << "zarvo-font: " << e.what()
            << " (the source fonts come with the Debian packages xfonts-terminus and "
               "fonts-dejavu-core)\n";
        return 1;
    }

    if (!o.Proof.empty()) {
        const platform::TBitmap sheet = DrawProof(fonts);
        if (!sheet.Image().save(QString::fromStdString(o.Proof), "PNG")) {
            err << "zarvo-font: cannot write " << o.Proof << "\n";
            return 1;
        }
    }
    return 0;
}

} // namespace fonttool
