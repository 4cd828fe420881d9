#include "larkspur/provider_script.h"

#include <gtest/gtest.h>

namespace larkspur {
namespace {

ProviderScriptInput Ordinary() {
    ProviderScriptInput in;
    in.providerProgID = "Excel";
    in.description = "New OLEDB Simple Provider";
    in.providerGUID = "{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}";
    in.dataSourceProgID = "Excel.Sheet.8";
    in.serverPath = "C:\\Program Files\\Common Files\\System\\OLE DB\\msdaosp.dll";
    return in;
}

TEST(ProviderScript, OrdinaryFieldsGiveTheTwentySixLines) {
    const std::string expected =
        "REGEDIT4\r\n"
        "\r\n"
        "[HKEY_CLASSES_ROOT\\Excel]\r\n"
        "@=\"New OLEDB Simple Provider\"\r\n"
        "\r\n"
        "[HKEY_CLASSES_ROOT\\Excel\\CLSID]\r\n"
        "@=\"{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}\"\r\n"
        "\r\n"
        "[HKEY_CLASSES_ROOT\\CLSID\\{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}]\r\n"
        "@=\"Excel\"\r\n"
        "\r\n"
        "[HKEY_CLASSES_ROOT\\CLSID\\{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}\\InprocServer32]\r\n"
        "@=\"C:\\\\Program Files\\\\Common Files\\\\System\\\\OLE DB\\\\MSDAOSP.DLL\"\r\n"
        "\"ThreadingModel\"=\"Both\"\r\n"
        "\r\n"
        "[HKEY_CLASSES_ROOT\\CLSID\\{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}\\ProgID]\r\n"
        "@=\"Excel.1\"\r\n"
        "\r\n"
        "[HKEY_CLASSES_ROOT\\CLSID\\{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}\\VersionIndependentProgID]\r\n"
        "@=\"Excel\"\r\n"
        "\r\n"
        "[HKEY_CLASSES_ROOT\\CLSID\\{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}\\OLE DB Provider]\r\n"
        "@=\"New OLEDB Simple Provider\"\r\n"
        "\r\n"
        "[HKEY_CLASSES_ROOT\\CLSID\\{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}\\OSP Data Object]\r\n"
        "@=\"Excel.Sheet.8\"\r\n";
    EXPECT_EQ(BuildProviderScript(Ordinary()), expected);
    // The same input gives the same file every time.
    EXPECT_EQ(BuildProviderScript(Ordinary()), expected);
}

TEST(ProviderScript, EmptyDescriptionAndDataSourceGiveEmptyData) {
    ProviderScriptInput in = Ordinary();
    in.description.clear();
    in.dataSourceProgID.clear();
    const std::string text = BuildProviderScript(in);
    EXPECT_NE(text.find("[HKEY_CLASSES_ROOT\\Excel]\r\n@=\"\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("\\OLE DB Provider]\r\n@=\"\"\r\n"), std::string::npos);
    EXPECT_TRUE(text.ends_with("\\OSP Data Object]\r\n@=\"\"\r\n"));
    EXPECT_FALSE(RefuseProviderScript(in));
}

TEST(ProviderScript, ServerLineKeepsTheFolderAndNamesTheRuntime) {
    EXPECT_EQ(EscapeServerPath("C:\\Dir\\Sub\\msdaosp.dll"), "C:\\\\Dir\\\\Sub\\\\MSDAOSP.DLL");
    EXPECT_EQ(EscapeServerPath("msdaosp.dll"), "MSDAOSP.DLL");
    EXPECT_EQ(EscapeServerPath(""), "MSDAOSP.DLL");
    EXPECT_EQ(EscapeServerPath("C:\\Dir\\"), "C:\\\\Dir\\\\MSDAOSP.DLL");
    EXPECT_EQ(EscapeServerPath("C:\\a\"b\\x.dll"), "C:\\\\a\\\"b\\\\MSDAOSP.DLL");
    ProviderScriptInput in = Ordinary();
    in.serverPath = "osp.dll";
    EXPECT_NE(BuildProviderScript(in).find("InprocServer32]\r\n@=\"MSDAOSP.DLL\"\r\n\"Thread"),
              std::string::npos);
}

TEST(ProviderScript, QuotesAndBackslashesInDataAreEscaped) {
    ProviderScriptInput in = Ordinary();
    in.description = "Sales \"Q1\" C:\\data\\";
    in.dataSourceProgID = "My\\Obj.\"1\"";
    const std::string text = BuildProviderScript(in);
    EXPECT_NE(text.find("[HKEY_CLASSES_ROOT\\Excel]\r\n@=\"Sales \\\"Q1\\\" C:\\\\data\\\\\"\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("OLE DB Provider]\r\n@=\"Sales \\\"Q1\\\" C:\\\\data\\\\\"\r\n"),
              std::string::npos);
    EXPECT_TRUE(text.ends_with("OSP Data Object]\r\n@=\"My\\\\Obj.\\\"1\\\"\"\r\n"));
    EXPECT_FALSE(RefuseProviderScript(in));
    EXPECT_EQ(EscapeRegData("a\\\"b"), "a\\\\\\\"b");
}

TEST(ProviderScript, ProgIDIsEscapedAsDataButNotInKeyNames) {
    ProviderScriptInput in = Ordinary();
    in.providerProgID = "A\"B";
    const std::string text = BuildProviderScript(in);
    EXPECT_NE(text.find("[HKEY_CLASSES_ROOT\\A\"B]\r\n"), std::string::npos);
    EXPECT_NE(text.find("}]\r\n@=\"A\\\"B\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("ProgID]\r\n@=\"A\\\"B.1\"\r\n"), std::string::npos);
}

TEST(ProviderScript, EmptyProgIDOrGuidIsRefused) {
    ProviderScriptInput in = Ordinary();
    in.providerProgID.clear();
    EXPECT_EQ(RefuseProviderScript(in).message, "Provider ProgID is empty: please enter a name.");
    EXPECT_EQ(RefuseProviderScript(in).field, ProviderField::ProgID);
    in = Ordinary();
    in.providerGUID.clear();
    EXPECT_EQ(RefuseProviderScript(in).message, "Provider GUID is empty: please press \"...\" for one.");
    EXPECT_EQ(RefuseProviderScript(in).field, ProviderField::GUID);
    EXPECT_FALSE(RefuseProviderScript(Ordinary()));
}

// Each key name must address one key of the provider's own: no line break
// and no "]" to break the key line, no backslash to reach the root, CLSID or
// another class, and not CLSID itself.
TEST(ProviderScript, KeyNamesThatWouldAddressOtherKeysAreRefused) {
    struct Case {
        std::string ProviderScriptInput::*field;
        std::string text;
        ProviderField refused;
        std::string message;
    };
    using F = ProviderField;
    const Case cases[] = {
        {&ProviderScriptInput::providerProgID, "Ex\ncel", F::ProgID, "Provider ProgID must not contain a line break."},
        {&ProviderScriptInput::description, "one\r\ntwo", F::Description, "Provider Description must not contain a line break."},
        {&ProviderScriptInput::providerGUID, "{A}\r", F::GUID, "Provider GUID must not contain a line break."},
        {&ProviderScriptInput::dataSourceProgID, "a\n", F::DataSourceProgID, "DataSource ProgID must not contain a line break."},
        {&ProviderScriptInput::providerProgID, "Ex]cel", F::ProgID, "Provider ProgID must not contain \"]\"."},
        {&ProviderScriptInput::providerGUID, "{A]}", F::GUID, "Provider GUID must not contain \"]\"."},
        {&ProviderScriptInput::providerProgID, "\\", F::ProgID, "Provider ProgID must not contain \"\\\"."},
        {&ProviderScriptInput::providerProgID, "a\\\\b", F::ProgID, "Provider ProgID must not contain \"\\\"."},
        {&ProviderScriptInput::providerGUID, "\\", F::GUID, "Provider GUID must not contain \"\\\"."},
        {&ProviderScriptInput::providerGUID, "{A}\\InprocServer32", F::GUID, "Provider GUID must not contain \"\\\"."},
        {&ProviderScriptInput::providerProgID, "clsid", F::ProgID, "Provider ProgID must not be \"CLSID\": that key holds every class."},
        {&ProviderScriptInput::serverPath, "C:\\x\r\n\\msdaosp.dll", F::ServerPath, "The registered path of MSDAOSP.DLL holds a line break."},
    };
    for (const Case& c : cases) {
        ProviderScriptInput in = Ordinary();
        in.*c.field = c.text;
        const ProviderRefusal refusal = RefuseProviderScript(in);
        EXPECT_EQ(refusal.field, c.refused) << c.text;
        EXPECT_EQ(refusal.message, c.message) << c.text;
    }
    // A bracket is harmless in string data.
    ProviderScriptInput in = Ordinary();
    in.description = "[draft]";
    in.dataSourceProgID = "a]b.c";
    EXPECT_FALSE(RefuseProviderScript(in));
}

TEST(ProviderScript, RemovalDeletesTheProgIDAndTheClassKeys) {
    EXPECT_EQ(BuildProviderRemovalScript(Ordinary()),
              "REGEDIT4\r\n\r\n[-HKEY_CLASSES_ROOT\\Excel]\r\n\r\n"
              "[-HKEY_CLASSES_ROOT\\CLSID\\{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}]\r\n");
}

TEST(RegeditCommand, PathIsQuotedOnlyWhenItHoldsABlank) {
    EXPECT_EQ(RegeditCommandLine("\\opt\\lark\\Provider.reg"), "REGEDIT \\opt\\lark\\Provider.reg");
    EXPECT_EQ(RegeditCommandLine("\\opt\\my tools\\Provider.reg"),
              "REGEDIT \"\\opt\\my tools\\Provider.reg\"");
    // Backslashes before a quote are doubled and the quote escaped.
    EXPECT_EQ(RegeditCommandLine("\\a b\\q\"\\x\\"), "REGEDIT \"\\a b\\q\\\"\\x\\\\\"");
}

}  // namespace
}  // namespace larkspur
