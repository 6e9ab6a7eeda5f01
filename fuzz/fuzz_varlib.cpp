// deps: zarvo_content
// The variant library reader on arbitrary files (laid out as LibraryInput.h describes).

#include "LibraryInput.h"
#include "content/Task.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TTask task(WriteLibraryInput(data, size, VarLibSignature, "Zarvo.ff"));
    for (const TClass& c : task.Classes) {
        Require(c.Name.size() <= 255);
        for (const TTheme& t : c.Themes)
            for (const TVariant& v : t.Variants)
                for (const TExample& e : v.Examples) {
                    Require(e.Text.size() <= 255);
                    for (const TCheckPoint& cp : e.CheckPoints) {
                        Require(cp.Position >= 1 && cp.Position <= 255);
                        Require(cp.Kind <= 3);
                        Require(cp.Rule().size() <= 4);
                    }
                }
    }
    return 0;
}
