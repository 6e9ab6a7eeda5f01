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

std::string DrawRuleFile(const std::string& id, const std::vector<TRuleRecord>& rules,
                         const TFFont& fonts, int screenWidth, const std::string& outDir) {
    const std::vector<std::string>& lines = RuleLines(id, rules);
    const TRuleMetrics m = RuleMetrics(fonts.SmallSize(), fonts.LargeSize(), screenWidth);
    platform::TBitmap page(m.WindowWidth(), std::max(m.PageHeight(lines.size()), 1), HintBackColor);
    DrawRule(lines, *fonts.SmallFont(), m, page);
    const std::string file = outDir + "/rule-" + platform::AnsiToUtf8(id) + ".png";
    Save(page, file);
    return file;
}

void MakeFolder(const std::string& outDir) {
    if (!QDir().mkpath(QString::fromStdString(outDir)))
        throw std::runtime_error("cannot create the folder " + outDir);
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

std::vector<std::string> PreviewVariant(const TVariant& variant,
                                        const std::vector<TRuleRecord>& rules,
                                        const std::string& fontFile, const TPreviewScreen& screen,
                                        const std::string& outDir) {
    const auto fonts = LoadFonts(fontFile, screen.Width);
    MakeFolder(outDir);
    const platform::TBitmap pointer = Pointer(fontFile);
    TBoxGeometry box;
    box.ScreenWidth = screen.Width;
    box.Width = screen.Width;
    box.Height = screen.Height - ButtonPanelHeight;
    box.ClientHeight = box.Height;

    std::vector<std::string> written;
    std::set<std::string> named;
    int n = 0;
    for (const TExample& e : variant.Examples) {
        TExampleLayout layout;
        layout.Metrics = {SizeWidth(fonts->LargeSize()), SizeHeight(fonts->LargeSize()),
                          SizeHeight(fonts->SmallSize())};
        layout.LayOut(e.Text, box);
        TExampleDrawing what;
        what.Font = fonts->LargeFont();
        what.Pointer = &pointer;
        for (std::size_t k = 0; k < e.CheckPoints.size(); ++k) {
            const TCheckPoint cp = e.CheckPoints[k];
            named.insert(std::string(cp.Rule()));
            if (k == 0) {
                what.Points.Current = cp.Position;
                layout.Locate(cp.Position, box);
            } else {
                what.Points.Later.push_back(cp.Position);
            }
        }
        platform::TBitmap picture(std::max(layout.PictureWidth, 1),
                                  std::max(layout.PictureHeight, 1), 0x00800000);
        DrawExample(layout, what, picture);
        char name[32];
        std::snprintf(name, sizeof name, "/example-%02d.png", ++n);
        Save(picture, outDir + name);
        written.push_back(outDir + name);
    }
    for (const std::string& id : named)
        written.push_back(DrawRuleFile(id, rules, *fonts, screen.Width, outDir));
    return written;
}

std::string PreviewRule(const std::string& id, const std::vector<TRuleRecord>& rules,
                        const std::string& fontFile, const TPreviewScreen& screen,
                        const std::string& outDir) {
    const auto fonts = LoadFonts(fontFile, screen.Width);
    MakeFolder(outDir);
    return DrawRuleFile(id, rules, *fonts, screen.Width, outDir);
}
