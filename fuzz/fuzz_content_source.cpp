// deps: zarvo_content_tool_lib
// The teachers' source format on arbitrary text. Whatever parses and packs without an error must
// read back through the trainer's readers as the same tree, and unpack to a source that parses
// to that tree again.

#include "Pack.h"
#include "Source.h"
#include "app/Globals.h"
#include "app/Strings.h"
#include "platform/MessageBox.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

class TQuiet : public platform::IMessagePresenter {
public:
    int Show(const std::string&, const std::string&, unsigned) override {
        ++Count;
        return platform::IDOK;
    }
    int Count = 0;
};

TQuiet* Boxes = nullptr;

void Require(bool ok) {
    if (!ok)
        std::abort();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    QFile f(QString::fromStdString(path));
    Require(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    static const std::string path = dir.path().toStdString() + "/lib";
    static bool ready = [] {
        auto q = std::make_unique<TQuiet>();
        Boxes = q.get();
        platform::SetMessagePresenter(std::move(q));
        SetDefaultInterfaceStrings();
        return true;
    }();
    (void)ready;
    const std::string text(reinterpret_cast<const char*>(data), size);
    GlobalFailure = false;
    Boxes->Count = 0;

    TVariantSource variants = ParseVariantSource(text);
    std::vector<TMessage> errors = variants.Errors;
    std::string packed = PackVariants(variants.Classes, errors);
    if (errors.empty()) {
        WriteFile(path, packed);
        TTask task(path);
        Require(Boxes->Count == 0 && SameVariants(task.Classes, variants.Classes));
        std::vector<TMessage> unwritable;
        std::string source = WriteVariantSource(task.Classes, unwritable);
        if (unwritable.empty())
            Require(SameVariants(ParseVariantSource(source).Classes, task.Classes));
    }

    TRulesSource rules = ParseRulesSource(text);
    errors = rules.Errors;
    packed = PackRules(rules.Rules, errors);
    if (errors.empty()) {
        WriteFile(path, packed);
        TFRule library(path);
        const bool empty = rules.Rules.empty();
        Require(Boxes->Count == (empty ? 1 : 0));
        Require(SameRules(library.RuleRecords, RuleRecordsOf(rules.Rules)));
        std::vector<TMessage> unwritable;
        std::string source = WriteRulesSource(library.RuleRecords, unwritable);
        if (unwritable.empty())
            Require(SameRules(RuleRecordsOf(ParseRulesSource(source).Rules), library.RuleRecords));
    }
    return 0;
}
