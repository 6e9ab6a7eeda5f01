// The registry file read as the registry editor imports it: every case in the three forms an
// administrator may bring (UTF-8 and UTF-16 under the version 5 header, code page 1251 under
// REGEDIT4), so that none of them reads differently from the others.

#include "platform/Exception.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "support/Sandbox.h"

#include <gtest/gtest.h>
#include <optional>

using namespace platform;

namespace {

enum class TForm { Utf8, Ansi, Utf16 };

std::string Utf16(const std::string& utf8) {
    std::string bytes = "\xFF\xFE";
    for (QChar c : QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))) {
        bytes += static_cast<char>(c.unicode() & 0xFF);
        bytes += static_cast<char>(c.unicode() >> 8);
    }
    return bytes;
}

// The file for a body written in UTF-8 with the given line end.
std::string RegistryFile(TForm form, const std::string& body, const std::string& eol = "\r\n") {
    switch (form) {
    case TForm::Utf8:
        return "Windows Registry Editor Version 5.00" + eol + eol + body;
    case TForm::Ansi:
        return "REGEDIT4" + eol + eol + Utf8ToAnsi(body);
    case TForm::Utf16:
        break;
    }
    return Utf16("Windows Registry Editor Version 5.00" + eol + eol + body);
}

const char* FormName(TForm form) {
    return form == TForm::Utf8 ? "UTF-8" : form == TForm::Ansi ? "REGEDIT4" : "UTF-16";
}

const std::string Key = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo";
const std::string Product = "\\SOFTWARE\\Orvisoft\\Zarvo";

// What a reader finds: the text or number of a value, nothing (missing value), or no key.
struct TExpect {
    enum { Text, Dword, NoValue, NoKey } Kind;
    std::string Value;
    std::int32_t Number = 0;
};
TExpect Text(const std::string& utf8) {
    return {TExpect::Text, Utf8ToAnsi(utf8)};
}
TExpect Number(std::int32_t n) {
    return {TExpect::Dword, {}, n};
}
const TExpect NoValue{TExpect::NoValue, {}};
const TExpect NoKey{TExpect::NoKey, {}};

struct TCase {
    const char* What;
    std::string Body;
    std::string KeyPath; // below the product key
    std::string Name;
    TExpect Expect;
    std::string Eol = "\r\n";
};

std::vector<TCase> Cases() {
    const std::string k = Key + "]\r\n";
    return {
        {"a comment after a string", k + "\"Path\"=\"/srv/zarvo/\" ;lab server\r\n", "", "Path",
         Text("/srv/zarvo/")},
        {"a comment after a dword", k + "\"Length\"=dword:0001e240 ;size\r\n", "", "Length",
         Number(123456)},
        {"a comment straight after a dword", k + "\"Length\"=dword:1234;5678\r\n", "", "Length",
         Number(0x1234)},
        {"blanks after dword:", k + "\"Length\"=dword:  00000008\r\n", "", "Length", Number(8)},
        {"text after a string is no comment", k + "\"Path\"=\"/srv/\"junk\r\n", "", "Path",
         NoValue},
        {"a semicolon inside a string is text", k + "\"Path\"=\"a;b\" ; c\r\n", "", "Path",
         Text("a;b")},
        {"a value deleted after its definition", k + "\"Path\"=\"/srv/\"\r\n\"Path\"=-\r\n", "",
         "Path", NoValue},
        {"a value defined after its deletion", k + "\"Path\"=- ;gone\r\n\"Path\"=\"/new/\"\r\n", "",
         "Path", Text("/new/")},
        {"a deleted key takes its subkeys",
         Key + "\\Files\\Rule]\r\n\"Rule\"=\"r\"\r\n\r\n[-" + Key.substr(1) + "\\Files]\r\n",
         "\\Files\\Rule", "Rule", NoKey},
        {"a deleted key keeps its parent",
         Key + "\\Files\\Rule]\r\n\r\n[-" + Key.substr(1) + "\\Files]\r\n", "", "Path", NoValue},
        {"a key defined again after its deletion",
         Key + "\\Path]\r\n\"Path\"=\"old\"\r\n[-" + Key.substr(1) + "\\Path]\r\n" + Key +
             "\\Path]\r\n\"Other\"=\"x\"\r\n",
         "\\Path", "Path", NoValue},
        {"a deletion touches only what stands before it",
         "[-" + Key.substr(1) + "\\Path]\r\n" + Key + "\\Path]\r\n\"Path\"=\"kept\"\r\n", "\\Path",
         "Path", Text("kept")},
        {"values after a deletion belong to no key",
         k + "[-" + Key.substr(1) + "\\Path]\r\n\"Path\"=\"stray\"\r\n", "", "Path", NoValue},
        {"a deletion of a similar name is another key",
         Key + "\\Path]\r\n\"Path\"=\"kept\"\r\n[-" + Key.substr(1) + "\\Pat]\r\n", "\\Path",
         "Path", Text("kept")},
        {"CR-only line ends", Key + "]\r\"Class\"=\"5\"\r\"Length\"=dword:00000002\r", "", "Class",
         Text("5"), "\r"},
        {"Cyrillic text", k + "\"Class\"=\"5 класс\"\r\n", "", "Class", Text("5 класс")},
        {"a broken hex continuation keeps the next key",
         k + "\"Bin\"=hex:01,02,\\\r\n" + Key + "\\Path]\r\n\"Path\"=\"/srv/\"\r\n", "\\Path",
         "Path", Text("/srv/")},
        {"a broken hex continuation keeps the next value",
         k + "\"Bin\"=hex:01,02,\\\r\n\"Path\"=\"/srv/\"\r\n", "", "Path", Text("/srv/")},
        {"hex data over several lines", k + "\"Bin\"=hex:01,02,\\\r\n  03,04\r\n\"Path\"=\"p\"\r\n",
         "", "Path", Text("p")},
        {"escapes and the default value", k + "@=\"d \\\"q\\\" C:\\\\x\"\r\n", "", "",
         Text("d \"q\" C:\\x")},
    };
}

void Check(const TCase& c, TForm form) {
    SCOPED_TRACE(std::string(c.What) + " (" + FormName(form) + ")");
    TSandbox box;
    box.Write("registry.reg", RegistryFile(form, c.Body, c.Eol));
    TRegistry reg;
    const bool open = reg.OpenKey(Product + c.KeyPath, false);
    if (c.Expect.Kind == TExpect::NoKey) {
        EXPECT_FALSE(open);
        return;
    }
    ASSERT_TRUE(open);
    switch (c.Expect.Kind) {
    case TExpect::Text:
        EXPECT_EQ(reg.ReadString(c.Name), c.Expect.Value);
        break;
    case TExpect::Dword:
        EXPECT_EQ(reg.ReadInteger(c.Name), c.Expect.Number);
        break;
    default:
        EXPECT_FALSE(reg.ValueExists(c.Name));
        break;
    }
}

} // namespace

TEST(RegistryImport, ReadsAsTheEditorImportsInEveryForm) {
    for (const TCase& c : Cases())
        for (TForm form : {TForm::Utf8, TForm::Ansi, TForm::Utf16})
            Check(c, form);
}

TEST(RegistryImport, ExpandableStringsReadAsTheirText) {
    // "/srv/з" and its terminating zero, as the editor exports REG_EXPAND_SZ: UTF-16 in a
    // version 5 file, the code page in a REGEDIT4 one; over two lines, as it wraps them.
    const std::string utf16 =
        "\"Path\"=hex(2):2f,00,73,00,72,00,\\\r\n  76,00,2f,00,37,04,00,00\r\n";
    const std::string ansi = "\"Path\"=hex(2):2f,73,72,76,2f,e7,00\r\n";
    const std::string k = Key + "]\r\n";
    for (const auto& [form, body] :
         {std::pair{TForm::Utf8, k + utf16}, std::pair{TForm::Utf16, k + utf16},
          std::pair{TForm::Ansi, std::string()}}) {
        SCOPED_TRACE(FormName(form));
        TSandbox box;
        // The ANSI bytes are written as they are: Utf8ToAnsi would not pass them through.
        box.Write("registry.reg",
                  form == TForm::Ansi ? "REGEDIT4\r\n\r\n" + k + ansi : RegistryFile(form, body));
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(Product, false));
        EXPECT_EQ(reg.ReadString("Path"), Utf8ToAnsi("/srv/з"));
        EXPECT_THROW(reg.ReadInteger("Path"), ERegistryError);
    }
}

TEST(RegistryImport, AFileWithoutTheHeaderIsNoRegistryFile) {
    for (const std::string& header :
         {std::string("Windows Registry Editor Version 4.00"), std::string("REGEDIT5"),
          std::string("; exported\r\nREGEDIT4"), std::string()}) {
        SCOPED_TRACE(header);
        TSandbox box;
        const std::string before = header + "\r\n\r\n" + Key + "\\Path]\r\n\"Path\"=\"/srv/\"\r\n";
        box.Write("registry.reg", before);
        TRegistry reg;
        EXPECT_FALSE(reg.OpenKey(Product + "\\Path", false));
        EXPECT_FALSE(reg.OpenKey(Product + "\\Files\\Rule", true));
        EXPECT_EQ(box.Read("registry.reg"), before);
    }
}

TEST(RegistryImport, KeysAreAddedInTheFilesOwnForm) {
    // A REGEDIT4 file stays in code page 1251, a UTF-16 one in UTF-16, with the line ends found.
    for (TForm form : {TForm::Utf8, TForm::Ansi, TForm::Utf16}) {
        SCOPED_TRACE(FormName(form));
        TSandbox box;
        const std::string body = Key + "]\r\"Class\"=\"5 класс\"\r";
        const std::string before = RegistryFile(form, body, "\r");
        box.Write("registry.reg", before);
        {
            TRegistry reg;
            ASSERT_TRUE(reg.OpenKey(Product + "\\Files\\Rule", true));
        }
        EXPECT_EQ(box.Read("registry.reg"),
                  RegistryFile(form, body + "\r" + Key + "\\Files\\Rule]\r", "\r"));
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(Product, false));
        EXPECT_EQ(reg.ReadString("Class"), Utf8ToAnsi("5 класс"));
    }
}
