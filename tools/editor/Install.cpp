#include "Install.h"

#include "Pack.h"
#include "TrainerSettings.h"
#include "platform/Files.h"
#include "platform/Text.h"

#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Folder(const std::string& file) {
    const fs::path parent = fs::path(file).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

bool Writable(const std::string& path) {
    return ::access(path.c_str(), W_OK) == 0;
}

std::string NotWritable(const std::string& folder) {
    return "The folder " + folder +
           " cannot be written with your account, so the pupils' exercises were not changed.\n"
           "Ask the school's IT person to give your account write access to it (for example: "
           "sudo chgrp zarvo " +
           folder + " && sudo chmod g+w " + folder +
           ", and add your account to the group zarvo), or install into a folder you choose.";
}

void Write(const std::string& file, const std::string& bytes) {
    platform::WriteFileAtomically(platform::FromNativePath(file), bytes);
}

} // namespace

TInstallTarget TargetInFolder(const std::string& folder) {
    std::string dir = folder;
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    return {dir + "/Zarvo.ff", dir + "/Zarvo.frf"};
}

std::optional<TInstallTarget> InstalledTarget() {
    const std::optional<TTrainerSettings> settings = ReadTrainerSettings();
    if (!settings || settings->VarLibFile.empty() || settings->RuleFile.empty())
        return std::nullopt;
    return TInstallTarget{settings->VarLibFile, settings->RuleFile};
}

TInstallResult InstallForPupils(const TEditorDocument& doc, const TInstallTarget& target) {
    TInstallResult result;
    const std::vector<TFinding> findings = Findings(doc.VariantText, doc.RulesText);
    if (HasErrors(findings)) {
        std::size_t errors = 0;
        for (const TFinding& f : findings)
            errors += f.Warning ? 0 : 1;
        result.Message = "Not installed: the check finds " + std::to_string(errors) +
                         " error(s). Fix them first (they are listed under the text); the pupils "
                         "keep the exercises they have.";
        return result;
    }
    std::vector<TMessage> errors;
    TVariantSource variants = ParseVariantSource(doc.VariantText);
    const std::string packedVariants = PackVariants(variants.Classes, errors);
    TRulesSource rules = ParseRulesSource(doc.RulesText);
    const std::string packedRules = PackRules(rules.Rules, errors);
    if (!errors.empty()) {
        result.Message = "Not installed: " + errors.front().Text;
        return result;
    }

    for (const std::string& file : {target.VarLibFile, target.RuleFile}) {
        const std::string folder = Folder(file);
        if (!fs::is_directory(folder)) {
            result.Message = "The folder " + folder + " does not exist; nothing was installed.";
            return result;
        }
        if (!Writable(folder) || (fs::exists(file) && !Writable(file))) {
            result.Message = NotWritable(folder);
            return result;
        }
    }

    // The previous pair stays beside the new one, so a lesson can go back to it.
    std::error_code ec;
    for (auto [file, backup] : {std::pair{&target.VarLibFile, &result.VarLibBackup},
                                std::pair{&target.RuleFile, &result.RuleBackup}}) {
        if (!fs::exists(*file))
            continue;
        *backup = *file + ".bak";
        fs::copy_file(*file, *backup, fs::copy_options::overwrite_existing, ec);
        if (ec) {
            result.Message = "Cannot keep a backup of " + *file + " (" + ec.message() +
                             "); nothing was installed.";
            return result;
        }
    }
    try {
        Write(target.VarLibFile, packedVariants);
    } catch (const std::exception& e) {
        result.Message = "Cannot write " + target.VarLibFile + ": " +
                         platform::AnsiToUtf8(e.what()) + "; nothing was installed.";
        return result;
    }
    try {
        Write(target.RuleFile, packedRules);
    } catch (const std::exception& e) {
        // Exercises without their rules would show "missing rule" to the pupils: put both back.
        if (!result.VarLibBackup.empty())
            fs::copy_file(result.VarLibBackup, target.VarLibFile,
                          fs::copy_options::overwrite_existing, ec);
        else
            fs::remove(target.VarLibFile, ec);
        result.Message = "Cannot write " + target.RuleFile + ": " + platform::AnsiToUtf8(e.what()) +
                         "; the previous exercises were put back.";
        return result;
    }
    result.Done = true;
    result.Message =
        "Installed for pupils: " + target.VarLibFile + " and " + target.RuleFile +
        ". The pupils see the new exercises the next time the trainer starts." +
        (result.VarLibBackup.empty() ? std::string()
                                     : " The previous pair is kept as " + result.VarLibBackup +
                                           " and " + result.RuleBackup + ".");
    return result;
}
