// deps: zarvo_content_tool_lib
// The teachers' source format on arbitrary text. Whatever parses and packs without an error must
// read back through the trainer's readers as the same tree, and unpack to a source that parses
// to that tree again.

#include "Pack.h"
#include "Source.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace {

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
    const std::string text(reinterpret_cast<const char*>(data), size);

    TVariantSource variants = ParseVariantSource(text);
    std::vector<TMessage> errors = variants.Errors;
    std::string packed = PackVariants(variants.Classes, errors);
    if (errors.empty()) {
        WriteFile(path, packed);
        TTask task(path);
        Require(task.Errors.empty() && SameVariants(task.Classes, variants.Classes));
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
        // A library without rules is the one error a packed rule library can give.
        Require(library.Errors.size() == (empty ? 1u : 0u));
        Require(SameRules(library.RuleRecords, RuleRecordsOf(rules.Rules)));
        std::vector<TMessage> unwritable;
        std::string source = WriteRulesSource(library.RuleRecords, unwritable);
        if (unwritable.empty())
            Require(SameRules(RuleRecordsOf(ParseRulesSource(source).Rules), library.RuleRecords));
    }
    return 0;
}
