#include "Preview.h"

#include "app/Strings.h"
#include "platform/Files.h"
#include "platform/Picture.h"
#include "platform/Text.h"
#include "render/FFont.h"
#include "render/RuleDrawing.h"
#include "session/ExampleDrawing.h"
#include "session/ExampleLayout.h"

#include <QDir>
#include <memory>
#include <set>
#include <stdexcept>

namespace {

// The exercise screen's button panel below the example box.
constexpr int ButtonPanelHeight = 108;

std::unique_ptr<TFFont> LoadFonts(const std::string& fontFile, int screenWidth) {
    auto fonts = std::make_unique<TFFont>(TFFont::TBlank{}, screenWidth);
    try {
        fonts->LoadFromBytes(
            platform::ReadFileBytes(platform::FromNativePath(fontFile), platform::MaxFontFileSize));
    } catch (const std::exception& e) {
        throw std::runtime_error("cannot read the font file " + fontFile + ": " +
                                 platform::AnsiToUtf8(e.what()));
    }
    return fonts;
}

void Save(const platform::TBitmap& picture, const std::string& file) {
    if (!picture.Image().save(QString::fromStdString(file), "PNG"))
        throw std::runtime_error("cannot write " + file);
}

// The pencil the trainer draws, from the content directory beside the font, else its plain one.
platform::TBitmap Pointer(const std::string& fontFile) {
    const std::string dir = fontFile.substr(0, fontFile.find_last_of('/') + 1);
    try {
        return platform::LoadBitmapFile(platform::FromNativePath(dir + "RFPF/pointer.fpf"));
    } catch (const std::exception&) {
        return PlainPointer();
    }
}

const std::vector<std::string>& RuleLines(const std::string& id,
                                          const std::vector<TRuleRecord>& rules) {
    for (const TRuleRecord& r : rules)
        if (r.Name == id)
            return r.Lines;
    static std::vector<std::string> missing;
    if (strNoRule.empty())
        SetDefaultInterfaceStrings();
    missing = {strNoRule};
    return missing;
}

void MakeFolder(const std::string& outDir) {
    if (!QDir().mkpath(QString::fromStdString(outDir)))
        throw std::runtime_error("cannot create the folder " + outDir);
}

std::string RuleFile(const TPreviewRenderer& renderer, const std::string& id,
                     const std::vector<TRuleRecord>& rules, const std::string& outDir) {
    const std::string file = outDir + "/rule-" + platform::AnsiToUtf8(id) + ".png";
    Save(renderer.Rule(id, rules), file);
    return file;
}

} // namespace

bool ParsePreviewScreen(const std::string& text, TPreviewScreen& screen) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos)
        return false;
    try {
        std::size_t used = 0;
        const int w = std::stoi(text.substr(0, x), &used);
        if (used != x)
            return false;
        const int h = std::stoi(text.substr(x + 1), &used);
        if (used != text.size() - x - 1 || w < 640 || h < 400 || w > 8192 || h > 8192)
            return false;
        screen = {w, h};
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

TPreviewRenderer::TPreviewRenderer(const std::string& fontFile, const TPreviewScreen& screen)
    : Size(screen), Fonts(LoadFonts(fontFile, screen.Width)), PencilPicture(Pointer(fontFile)) {}

TPreviewRenderer::~TPreviewRenderer() = default;

platform::TBitmap TPreviewRenderer::Example(const TExample& example, std::size_t current) const {
    TBoxGeometry box;
    box.ScreenWidth = Size.Width;
    box.Width = Size.Width;
    box.Height = Size.Height - ButtonPanelHeight;
    box.ClientHeight = box.Height;
    TExampleLayout layout;
    layout.Metrics = {SizeWidth(Fonts->LargeSize()), SizeHeight(Fonts->LargeSize()),
                      SizeHeight(Fonts->SmallSize())};
    layout.LayOut(example.Text, box);
    TExampleDrawing what;
    what.Font = Fonts->LargeFont();
    what.Pointer = &PencilPicture;
    for (std::size_t k = current; k < example.CheckPoints.size(); ++k) {
        const TCheckPoint& cp = example.CheckPoints[k];
        if (k == current) {
            what.Points.Current = cp.Position;
            layout.Locate(cp.Position, box);
        } else {
            what.Points.Later.push_back(cp.Position);
        }
    }
    platform::TBitmap picture(std::max(layout.PictureWidth, 1), std::max(layout.PictureHeight, 1),
                              0x00800000);
    DrawExample(layout, what, picture);
    return picture;
}

platform::TBitmap TPreviewRenderer::Rule(const std::string& id,
                                         const std::vector<TRuleRecord>& rules) const {
    const std::vector<std::string>& lines = RuleLines(id, rules);
    const TRuleMetrics m = RuleMetrics(Fonts->SmallSize(), Fonts->LargeSize(), Size.Width);
    platform::TBitmap page(m.WindowWidth(), std::max(m.PageHeight(lines.size()), 1), HintBackColor);
    DrawRule(lines, *Fonts->SmallFont(), m, page);
    return page;
}

std::vector<std::string> PreviewVariant(const TVariant& variant,
                                        const std::vector<TRuleRecord>& rules,
                                        const std::string& fontFile, const TPreviewScreen& screen,
                                        const std::string& outDir) {
    const TPreviewRenderer renderer(fontFile, screen);
    MakeFolder(outDir);
    std::vector<std::string> written;
    std::set<std::string> named;
    int n = 0;
    for (const TExample& e : variant.Examples) {
        for (const TCheckPoint& cp : e.CheckPoints)
            named.insert(std::string(cp.Rule()));
        char name[32];
        std::snprintf(name, sizeof name, "/example-%02d.png", ++n);
        Save(renderer.Example(e), outDir + name);
        written.push_back(outDir + name);
    }
    for (const std::string& id : named)
        written.push_back(RuleFile(renderer, id, rules, outDir));
    return written;
}

std::string PreviewRule(const std::string& id, const std::vector<TRuleRecord>& rules,
                        const std::string& fontFile, const TPreviewScreen& screen,
                        const std::string& outDir) {
    const TPreviewRenderer renderer(fontFile, screen);
    MakeFolder(outDir);
    return RuleFile(renderer, id, rules, outDir);
}
