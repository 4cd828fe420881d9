#include "platform/win/registry_script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win/registry.h"
#include "platform/win/registry_script_parser.h"
#include "platform/win/utf16_text.h"

namespace win {
namespace {

class RegistryScript : public ::testing::Test {
protected:
    void SetUp() override { UseRegistryStore(":memory:"); }

    RegistryScriptResult Import(const std::string& text) {
        return ImportRegistryScriptText(text, "test.reg");
    }

    std::string Export(const std::string& key,
                       RegistryScriptFormat format = RegistryScriptFormat::Regedit4) {
        std::string text;
        const auto result = ExportRegistryScriptText(key, format, text);
        EXPECT_TRUE(result.ok) << result.error;
        return text;
    }

    bool Exists(HKEY root, const char* path) {
        HKEY key = nullptr;
        if (RegOpenKeyEx(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }

    // Type and data of a value, "" type 0 when missing.
    std::pair<DWORD, std::string> Value(HKEY root, const char* path, const char* name) {
        HKEY key = nullptr;
        if (RegOpenKeyEx(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return {0, ""};
        char data[512];
        DWORD type = 0, size = sizeof data;
        const LONG rc = RegQueryValueEx(key, name, nullptr, &type, data, &size);
        RegCloseKey(key);
        if (rc != ERROR_SUCCESS) return {0, ""};
        return {type, std::string(data, size)};
    }
};

using Values = std::pair<DWORD, std::string>;

TEST_F(RegistryScript, ImportsKeysAndEveryKindOfValue) {
    const auto result = Import(
        "REGEDIT4\r\n"
        "\r\n"
        "; a comment\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test\\Deep]\r\n"
        "@=\"default\"\r\n"
        "\"Path\" = \"C:\\\\Dir\\\\Sub\"\r\n"
        "\"Quote\"=\"say \\\"hi\\\"\"\r\n"
        "\"Number\"=dword:0000002a\r\n"
        "\"Bytes\"=hex:01,02,ff\r\n"
        "\"Expand\"=hex(2):25,41,25,00\r\n"
        "\"Long\"=hex:00,01,02,\\\r\n"
        "  03,04\r\n");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.keys, 1u);
    EXPECT_EQ(result.values, 7u);
    const char* key = "SOFTWARE\\Test\\Deep";
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, key, ""), Values(REG_SZ, std::string("default\0", 8)));
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, key, "path"), Values(REG_SZ, std::string("C:\\Dir\\Sub\0", 11)));
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, key, "Quote"), Values(REG_SZ, std::string("say \"hi\"\0", 9)));
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, key, "Number"), Values(REG_DWORD, std::string("\x2a\0\0\0", 4)));
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, key, "Bytes"), Values(REG_BINARY, "\x01\x02\xff"));
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, key, "Expand"), Values(REG_EXPAND_SZ, std::string("%A%\0", 4)));
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, key, "Long"), Values(REG_BINARY, std::string("\0\1\2\3\4", 5)));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test"));
}

TEST_F(RegistryScript, DeletesValuesAndKeyTrees) {
    ASSERT_TRUE(Import("REGEDIT4\n[HKEY_CURRENT_USER\\A\\B\\C]\n\"x\"=\"1\"\n\"y\"=\"2\"\n").ok);
    const auto result = Import(
        "Windows Registry Editor Version 5.00\r\n"
        "[HKEY_CURRENT_USER\\A\\B\\C]\r\n\"x\"=-\r\n"
        "[-HKEY_CURRENT_USER\\A\\B]\r\n"
        "[-HKEY_CURRENT_USER\\Never\\There]\r\n");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "A"));
    EXPECT_FALSE(Exists(HKEY_CURRENT_USER, "A\\B"));
}

TEST_F(RegistryScript, LineEndsAndBlanksDoNotMatter) {
    const std::string body =
        "[HKEY_CLASSES_ROOT\\My.Object]   \n"
        "@ = \"v\"  \n"
        "[HKEY_CLASSES_ROOT\\CLSID\\{X}\\OLE DB Provider ]\n";
    for (const std::string& text :
         {"REGEDIT4\n" + body, "REGEDIT4\r\n" + body.substr(0, body.size() - 1),
          "REGEDIT4\r" + std::string(body).replace(body.find('\n'), 1, "\r")}) {
        UseRegistryStore(":memory:");
        const auto result = Import(text);
        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(Value(HKEY_CLASSES_ROOT, "my.object", ""), Values(REG_SZ, std::string("v\0", 2)));
        EXPECT_TRUE(Exists(HKEY_CLASSES_ROOT, "CLSID\\{X}\\OLE DB Provider "));
        EXPECT_FALSE(Exists(HKEY_CLASSES_ROOT, "CLSID\\{X}\\OLE DB Provider"));
    }
}

// A key path of `levels` one-letter names, each after a backslash.
std::string Deep(std::size_t levels) {
    std::string path;
    for (std::size_t i = 0; i < levels; ++i) path += "\\k";
    return path;
}

TEST_F(RegistryScript, KeysUpTo512LevelsAndNamesUpTo255CharactersAreImported) {
    const std::string name(255, 'n');
    ASSERT_TRUE(Import("REGEDIT4\r\n[HKEY_CURRENT_USER" + Deep(512) + "]\r\n@=\"deep\"\r\n"
                       "[HKEY_CURRENT_USER\\" + name + "]\r\n")
                    .ok);
    EXPECT_EQ(Value(HKEY_CURRENT_USER, Deep(512).substr(1).c_str(), ""),
              Values(REG_SZ, std::string("deep\0", 5)));
    EXPECT_TRUE(Exists(HKEY_CURRENT_USER, name.c_str()));
}

TEST_F(RegistryScript, EmptyKeyNamesCollapseOntoTheRoot) {
    ASSERT_TRUE(Import("REGEDIT4\r\n[HKEY_CLASSES_ROOT\\]\r\n@=\"root\"\r\n"
                       "[HKEY_CLASSES_ROOT\\\\CLSID\\]\r\n\"n\"=\"c\"\r\n")
                    .ok);
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes", ""), Values(REG_SZ, std::string("root\0", 5)));
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, "CLSID", "n"), Values(REG_SZ, std::string("c\0", 2)));
}

TEST_F(RegistryScript, AnyErrorImportsNothingAndNamesTheLine) {
    struct Case {
        std::string text;
        std::size_t line;
        std::string message;
    };
    const std::string good = "REGEDIT4\r\n[HKEY_CURRENT_USER\\Good]\r\n\"a\"=\"1\"\r\n";
    const std::vector<Case> cases = {
        {"REGEDIT 4\r\n[HKEY_CURRENT_USER\\Good]\r\n", 1,
         "not a registry script: the first line must be \"REGEDIT4\" or \"Windows Registry Editor "
         "Version 5.00\""},
        {std::string("\x7f" "ELF\x02\x01\x01\0\0\0", 10), 1, ""},
        {good + "\"b\"=\"open\r\n", 4, "unterminated string"},
        {good + "\"b\"=\"a\"b\"\r\n", 4, "text after the closing quote of a string (an unescaped quote?)"},
        {good + "\"b\"=\"ends\\\"\r\n", 4, "unterminated string"},
        {good + "\"b\"=hex:01,0g\r\n", 4, "bad hexadecimal byte in value data"},
        {good + "\"b\"=hex:01,\\\r\n  02,zz\r\n", 4, "bad hexadecimal byte in value data"},
        {good + "\"b\"=hex:0100000000000000000000000,02\r\n", 4, "bad hexadecimal byte in value data"},
        {good + "\"b\"=dword:123456789\r\n", 4, "bad dword value"},
        {good + "[HKCU\\Software]\r\n", 4, "unknown root key \"HKCU\""},
        {good + "[HKEY_CURRENT_USER\\Open\r\n", 4, "key line without closing ]"},
        {good + "garbage\r\n", 4, "not a key line, value line or comment"},
        {"REGEDIT4\r\n\"a\"=\"1\"\r\n", 2, "value line before the first key line"},
        {good + "[-HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n", 4,
         "a root key, or a key that holds HKEY_CLASSES_ROOT, cannot be deleted"},
        {good + "[HKEY_CURRENT_USER\\" + std::string(256, 'n') + "]\r\n", 4,
         "key name longer than 255 characters"},
        {good + "\r\n[HKEY_CURRENT_USER" + Deep(513) + "]\r\n", 5, "key path deeper than 512 levels"},
    };
    for (const auto& c : cases) {
        const auto result = Import(c.text);
        EXPECT_FALSE(result.ok) << c.text;
        EXPECT_EQ(result.line, c.line) << c.text;
        if (!c.message.empty()) {
            EXPECT_EQ(result.error, "test.reg, line " + std::to_string(c.line) + ": " + c.message);
        }
        EXPECT_FALSE(Exists(HKEY_CURRENT_USER, "Good")) << c.text;
    }
}

TEST_F(RegistryScript, ExportWritesKeysInEnumerationOrderWithABlankLineAfterEach) {
    ASSERT_TRUE(Import("REGEDIT4\r\n"
                       "[HKEY_CURRENT_USER\\E\\b]\r\n\"s\"=\"x\\\\y \\\"q\\\"\"\r\n"
                       "[HKEY_CURRENT_USER\\E\\A]\r\n@=dword:00000010\r\n\"h\"=hex(7):61,00,62,00,00\r\n")
                    .ok);
    EXPECT_EQ(Export("HKEY_CURRENT_USER\\e"),
              "REGEDIT4\r\n\r\n"
              "[HKEY_CURRENT_USER\\E]\r\n\r\n"
              "[HKEY_CURRENT_USER\\E\\A]\r\n@=dword:00000010\r\n\"h\"=hex(7):61,00,62,00,00\r\n\r\n"
              "[HKEY_CURRENT_USER\\E\\b]\r\n\"s\"=\"x\\\\y \\\"q\\\"\"\r\n\r\n");
    // Version 5.00 writes text types as UTF-16LE, and reads them back.
    const std::string v5 = Export("HKEY_CURRENT_USER\\E\\A", RegistryScriptFormat::Version5);
    EXPECT_EQ(v5,
              "Windows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_CURRENT_USER\\E\\A]\r\n@=dword:00000010\r\n"
              "\"h\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n\r\n");
    UseRegistryStore(":memory:");
    ASSERT_TRUE(Import(v5).ok);
    EXPECT_EQ(Value(HKEY_CURRENT_USER, "E\\A", "h"), Values(REG_MULTI_SZ, std::string("a\0b\0\0", 5)));
}

TEST_F(RegistryScript, ExportAndImportRoundTripEveryType) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_USERS, "R\\Types", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                             nullptr),
              ERROR_SUCCESS);
    std::string blob;
    for (int i = 0; i < 300; ++i) blob += static_cast<char>(i * 7);
    const char high[] = "caf\xe9 \x80 line\r\nbreak";
    RegSetValueEx(key, "blob", 0, REG_BINARY, blob.data(), static_cast<DWORD>(blob.size()));
    RegSetValueEx(key, "high", 0, REG_SZ, high, sizeof high);
    RegSetValueEx(key, "embedded", 0, REG_SZ, "a\0b", 4);
    RegSetValueEx(key, "none", 0, REG_NONE, nullptr, 0);
    RegSetValueEx(key, "qword", 0, REG_QWORD, "\1\2\3\4\5\6\7\x08", 8);
    RegSetValueEx(key, "short dword", 0, REG_DWORD, "\1\2", 2);
    RegSetValueEx(key, "expand", 0, REG_EXPAND_SZ, "%PATH%\x9f", 8);
    RegCloseKey(key);
    for (auto format : {RegistryScriptFormat::Regedit4, RegistryScriptFormat::Version5}) {
        const std::string first = Export("HKEY_USERS\\R", format);
        for (std::size_t start = 0, end; (end = first.find("\r\n", start)) != std::string::npos;
             start = end + 2) {
            EXPECT_LE(end - start, 80u) << first.substr(start, end - start);
        }
        UseRegistryStore(":memory:");
        const auto result = Import(first);
        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(Export("HKEY_USERS\\R", format), first);
    }
}

TEST(RegistryScriptParser, ReadsUtf16LittleEndianScripts) {
    const std::string text = "Windows Registry Editor Version 5.00\r\n[HKEY_USERS\\Caf\xe9]\r\n";
    std::string utf16 = "\xff\xfe" + AnsiToUtf16(text);
    detail::Script script;
    ASSERT_FALSE(detail::ParseRegistryScript(utf16, script).has_value());
    ASSERT_EQ(script.keys.size(), 1u);
    EXPECT_EQ(script.keys[0].path, std::vector<std::string>{"Caf\xe9"});
    EXPECT_TRUE(script.version5);

    // A character the code page lacks is one '?', also when it takes two
    // code units.
    const std::string ansi = "Windows Registry Editor Version 5.00\r\n[HKEY_USERS\\";
    utf16 = "\xff\xfe" + AnsiToUtf16(ansi) + std::string("\x16\x04\x3d\xd8\x00\xde\xac\x20", 8) +
            AnsiToUtf16("]\r\n");
    detail::Script other;
    ASSERT_FALSE(detail::ParseRegistryScript(utf16, other).has_value());
    ASSERT_EQ(other.keys.size(), 1u);
    EXPECT_EQ(other.keys[0].path, std::vector<std::string>{"??\x80"});
}

}  // namespace
}  // namespace win
