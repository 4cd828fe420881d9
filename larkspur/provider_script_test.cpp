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
    EXPECT_EQ(RefuseProviderScript(in), "");
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
    EXPECT_EQ(RefuseProviderScript(in), "");
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
    EXPECT_EQ(RefuseProviderScript(in), "Provider ProgID is empty: please enter a name.");
    in = Ordinary();
    in.providerGUID.clear();
    EXPECT_EQ(RefuseProviderScript(in), "Provider GUID is empty: please press \"...\" for one.");
    EXPECT_EQ(RefuseProviderScript(Ordinary()), "");
}

TEST(ProviderScript, LineBreaksAndClosingBracketsInKeyNamesAreRefused) {
    struct Case {
        std::string ProviderScriptInput::*field;
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {&ProviderScriptInput::providerProgID, "Ex\ncel", "Provider ProgID must not contain a line break."},
        {&ProviderScriptInput::description, "one\r\ntwo", "Provider Description must not contain a line break."},
        {&ProviderScriptInput::providerGUID, "{A}\r", "Provider GUID must not contain a line break."},
        {&ProviderScriptInput::dataSourceProgID, "a\n", "DataSource ProgID must not contain a line break."},
        {&ProviderScriptInput::providerProgID, "Ex]cel", "Provider ProgID must not contain \"]\"."},
        {&ProviderScriptInput::providerGUID, "{A]}", "Provider GUID must not contain \"]\"."},
    };
    for (const Case& c : cases) {
        ProviderScriptInput in = Ordinary();
        in.*c.field = c.text;
        EXPECT_EQ(RefuseProviderScript(in), c.message) << c.text;
    }
    // A bracket is harmless in string data.
    ProviderScriptInput in = Ordinary();
    in.description = "[draft]";
    in.dataSourceProgID = "a]b.c";
    EXPECT_EQ(RefuseProviderScript(in), "");
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
