// deps: zarvo_content
// The rule library reader on arbitrary files. The first byte chooses the form of the rest:
// odd, the file as it stands; even, plain lines that are scrambled behind a good signature.

#include "app/Strings.h"
#include "content/FRule.h"
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
    static const std::string path = dir.path().toStdString() + "/Zarvo.frf";
    static bool ready = [] {
        platform::SetMessagePresenter(std::make_unique<TQuiet>());
        SetDefaultInterfaceStrings();
        return true;
    }();
    (void)ready;
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (!bytes.empty() && (bytes[0] & 1) == 0)
        bytes = std::string(RuleLibSignature) + "\r\n" + TFileCover::TransformText(bytes.substr(1));
    else if (!bytes.empty())
        bytes.erase(0, 1);
    {
        QFile f(QString::fromStdString(path));
        Require(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    TFRule rules(path);
    for (const TRuleRecord& r : rules.RuleRecords) {
        Require(r.Name.empty() || static_cast<unsigned char>(r.Name.front()) > 32);
        Require(&rules.GetRule(r.Name) != nullptr);
        for (const std::string& l : r.Lines)
            Require(!IsStopLine(l));
    }
    Require(rules.GetRule("\x01no such rule").size() == 1);
    return 0;
}
