// deps: zarvo_content
// The variant library reader on arbitrary files. The first byte chooses the form of the rest:
// odd, the file as it stands; even, plain lines that are scrambled behind a good signature, so
// that mutations reach the line kinds and check points instead of dying at the signature.

#include "app/Strings.h"
#include "content/Task.h"
#include "platform/MessageBox.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

class TQuiet : public platform::IMessagePresenter {
public:
    int Show(const std::string&, const std::string&, unsigned) override { return platform::IDOK; }
};

void Require(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    static const std::string path = dir.path().toStdString() + "/Zarvo.ff";
    static bool ready = [] {
        platform::SetMessagePresenter(std::make_unique<TQuiet>());
        SetDefaultInterfaceStrings();
        return true;
    }();
    (void)ready;
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (!bytes.empty() && (bytes[0] & 1) == 0)
        bytes = std::string(VarLibSignature) + "\r\n" + TFileCover::TransformText(bytes.substr(1));
    else if (!bytes.empty())
        bytes.erase(0, 1);
    {
        QFile f(QString::fromStdString(path));
        Require(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    TTask task(path);
    for (const TClass& c : task.Classes) {
        Require(c.Name.size() <= 255);
        for (const TTheme& t : c.Themes)
            for (const TVariant& v : t.Variants)
                for (const TExample& e : v.Examples) {
                    Require(e.Text.size() <= 255);
                    for (const TCheckPoint& cp : e.CheckPoints) {
                        Require(cp.Position >= 1 && cp.Position <= 255);
                        Require(cp.Kind <= 3);
                        Require(cp.Rule.size() <= 4);
                    }
                }
    }
    return 0;
}
