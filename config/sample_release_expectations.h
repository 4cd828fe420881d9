#pragma once
// Test helper: what the sample Ledger project's files hold once the
// configurations toolbar switched it from "debug" to "release" and the
// project was saved, however the add-in was reached (in the environment, or
// through COM).

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace config::testing {

// `read(file)` gives a file of the project's folder, byte for byte.
inline void ExpectSampleSwitchedToRelease(const std::function<std::string(const std::string&)>& read) {
    const auto count = [](const std::string& text, const std::string& what) {
        int n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
    };
    const std::string trace = read("modTrace.bas");
    EXPECT_NE(trace.find("Attribute VB_Name = \"modTrace\"\r\nOption Explicit\r\n#Const debugging = False\r\n"
                         "#Const debugging = False\r\n#Const tracing = False\r\n"),
              std::string::npos)
        << trace;
    for (const char* file : {"modLedger.bas", "CAccount.cls", "CEntry.cls", "frmLedger.frm"}) {
        const std::string text = read(file);
        EXPECT_EQ(count(text, "#Const debugging = False\r\n"), 1) << file;
        EXPECT_EQ(count(text, "True\r\n#Const"), 0) << file;
    }
    const std::string vbp = read("Ledger.vbp");
    EXPECT_NE(vbp.find("\r\n[Configurations]\r\nCount=2\r\nConfig1=debug\r\nConfig2=release\r\nCurrent=2\r\n"),
              std::string::npos)
        << vbp;
}

}  // namespace config::testing
