#pragma once
// Test helper: a small VB6 project on disk in a fresh temporary folder
// (Shop.vbp with the standard module basMain and the class module CItem), with
// byte-exact file access.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace quillon::testing {

inline const char* const kShopVbp =
    "Type=Exe\r\nModule=basMain; basMain.bas\r\nClass=CItem; CItem.cls\r\nStartup=\"Sub Main\"\r\n"
    "Name=\"Shop\"\r\nMajorVer=1\r\n";
inline const char* const kBasMain =
    "Attribute VB_Name = \"basMain\"\r\nOption Explicit\r\nPrivate mCount As Long\r\n\r\n"
    "Sub Main()\r\nEnd Sub\r\n";
inline const char* const kCItem =
    "VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1  'True\r\nEND\r\n"
    "Attribute VB_Name = \"CItem\"\r\nAttribute VB_GlobalNameSpace = False\r\n"
    "Attribute VB_Creatable = True\r\nAttribute VB_PredeclaredId = False\r\n"
    "Attribute VB_Exposed = False\r\nOption Explicit\r\nPrivate mPrice As Currency\r\n";

// CItem.cls after the dialog inserted the Currency property Price with its
// member variable and error handling (Get and Let).
inline std::string CItemWithPrice() {
    const std::string errorTail =
        "    Debug.Print Err.Description\r\n"
        "    App.StartLogging App.Path & \"\\error.log\", vbLogtoFile\r\n"
        "    App.LogEvent Err.Description, vbLogEventTypeError\r\n"
        "    Resume PriceExit\r\n\r\nEnd Property\r\n";
    return std::string(kCItem) + "Private m_Price As Currency\r\n" +
           "Public Property Get Price ()As Currency\r\n\r\nOn Error GoTo PriceErr\r\n\r\n\r\n"
           "    'Place Code Body Here!\r\n    Price = m_Price\r\n\r\nPriceExit:\r\n"
           "    Exit Property\r\n\r\nPriceErr:\r\n" + errorTail +
           "Public Property Let Price (curPrice As Currency)\r\n\r\nOn Error GoTo PriceErr\r\n\r\n\r\n"
           "    'Place Code Body Here!\r\n     m_Price = curPrice\r\n\r\nPriceExit:\r\n"
           "    Exit Property\r\n\r\nPriceErr:\r\n" + errorTail;
}

class TempProject {
public:
    TempProject() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("quillon-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
        Write("Shop.vbp", kShopVbp);
        Write("basMain.bas", kBasMain);
        Write("CItem.cls", kCItem);
    }
    ~TempProject() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempProject(const TempProject&) = delete;
    TempProject& operator=(const TempProject&) = delete;

    const std::filesystem::path& Folder() const { return path_; }
    std::string Vbp() const { return (path_ / "Shop.vbp").string(); }
    std::string Read(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
    }

private:
    std::filesystem::path path_;
};

}  // namespace quillon::testing
