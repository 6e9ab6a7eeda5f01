#include "app/Strings.h"

std::string Title;
std::string PictureFolder;

#define ZARVO_DEFINE_STRING(id, english) std::string id;
ZARVO_INTERFACE_STRINGS(ZARVO_DEFINE_STRING)
#undef ZARVO_DEFINE_STRING

std::string strLibraryFailure;

#define ZARVO_TABLE_ENTRY(id, english) TInterfaceString{#id, &id, english},
const std::array<TInterfaceString, InterfaceStringCount> InterfaceStrings = {
    ZARVO_INTERFACE_STRINGS(ZARVO_TABLE_ENTRY)};
#undef ZARVO_TABLE_ENTRY

const TInterfaceString LibraryFailureString = {"strLibraryFailure", &strLibraryFailure,
                                               "The exercise library cannot be read!"};

void ClearInterfaceStrings() {
    LibraryFailureString.Value->clear();
    for (auto it = InterfaceStrings.rbegin(); it != InterfaceStrings.rend(); ++it)
        it->Value->clear();
    PictureFolder.clear();
    Title.clear();
}

void SetDefaultInterfaceStrings() {
    Title = DefaultTitle;
    PictureFolder.clear();
    for (const TInterfaceString& s : InterfaceStrings)
        *s.Value = s.Default;
    *LibraryFailureString.Value = LibraryFailureString.Default;
}
