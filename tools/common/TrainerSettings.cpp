#include "TrainerSettings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <cstdlib>
#include <sstream>

TTrainerSettings ParseTrainerSettings(const std::string& printed) {
    TTrainerSettings s;
    std::istringstream in(printed);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string name = line.substr(0, eq), value = line.substr(eq + 1);
        if (name == "GetVarLibFile")
            s.VarLibFile = value;
        else if (name == "GetRuleFile")
            s.RuleFile = value;
        else if (name == "GetFontFile")
            s.FontFile = value;
        else if (name == "GetResultFile")
            s.ResultFile = value;
    }
    return s;
}

std::optional<TTrainerSettings> ReadTrainerSettings() {
    QString trainer;
    if (const char* env = std::getenv("ZARVO_TRAINER"); env && *env)
        trainer = QString::fromLocal8Bit(env);
    else if (QCoreApplication::instance())
        trainer = QCoreApplication::applicationDirPath() + "/zarvo";
    if (trainer.isEmpty() || !QFileInfo(trainer).isExecutable())
        return std::nullopt;
    QProcess p;
    p.start(trainer, {"--print-config"});
    if (!p.waitForFinished(5000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        p.kill();
        p.waitForFinished(1000);
        return std::nullopt;
    }
    return ParseTrainerSettings(p.readAllStandardOutput().toStdString());
}
