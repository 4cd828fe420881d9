#include "platform/mts/catalog.h"

#include <gtest/gtest.h>

#include <functional>

#include "base/vb_error.h"
#include "platform/win/files.h"
#include "platform/win/process.h"
#include "platform/win/registry.h"
#include "platform/win/registry_script.h"
#include "platform/win/test_support.h"

namespace mts {
namespace {

// Each test starts without a catalog and fills it with a script, as a user
// fills the catalog: on Linux in a private store, on Windows in the system's
// registry (the 32-bit view, through the registry editor the suite starts),
// where the catalog's key is removed before and after each test.
class CatalogTest : public ::testing::Test {
protected:
#ifdef _WIN32
    void SetUp() override { win::testing::DeleteKeyTree(win::HKEY_LOCAL_MACHINE, kCatalogKey); }
    void TearDown() override { SetUp(); }

    static void Import(const std::string& script) {
        win::testing::TempFolder folder;
        const std::string file = folder / "catalog.reg";
        win::testing::WriteBytes(file, script);
        ASSERT_EQ(win::RunAndWait({"REGEDIT", "/s", win::PlatformPath(file)}, true), 0) << file;
    }
#else
    void SetUp() override { win::UseRegistryStore(":memory:"); }
    void TearDown() override { win::CloseRegistryStore(); }

    static void Import(const std::string& script) {
        const auto result = win::ImportRegistryScriptText(script, "catalog.reg");
        ASSERT_TRUE(result.ok) << result.error;
    }
#endif
    static constexpr const char* kCatalogKey = "SOFTWARE\\Tarnwick\\Catalog";

    static std::shared_ptr<ICatalogCollection> Packages() {
        Catalog catalog;
        auto packages = catalog.Connect("")->GetCollection("Packages", "");
        packages->Populate();
        return packages;
    }

    static std::vector<std::pair<std::string, std::string>> Objects(const ICatalogCollection& c) {
        std::vector<std::pair<std::string, std::string>> out;
        for (const ICatalogObject& o : c) out.emplace_back(o.Name(), o.Key());
        return out;
    }
};

long ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.Source(), "Catalog");
        return e.Number();
    }
    return 0;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

const char* const kCatalog =
    "REGEDIT4\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarnwick\\Catalog\\Packages\\{B2000000-0000-0000-0000-000000000002}]\r\n"
    "\"Name\"=\"Order Entry\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarnwick\\Catalog\\Packages\\{B2000000-0000-0000-0000-000000000002}"
    "\\Components\\{C2000000-0000-0000-0000-00000000000B}]\r\n"
    "\"ProgID\"=\"Orders.Ledger\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarnwick\\Catalog\\Packages\\{B2000000-0000-0000-0000-000000000002}"
    "\\Components\\{C2000000-0000-0000-0000-00000000000A}]\r\n"
    "\"ProgID\"=\"Orders.Basket\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarnwick\\Catalog\\Packages\\{A1000000-0000-0000-0000-000000000001}]\r\n"
    "\"Name\"=\"System\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarnwick\\Catalog\\Packages\\{C3000000-0000-0000-0000-000000000003}]\r\n"
    "\r\n";

TEST_F(CatalogTest, PackagesAndComponentsEnumerateInRegistryOrder) {
    Import(kCatalog);
    auto packages = Packages();
    // Sorted by key whatever the script's order; a package without a Name
    // value has the empty name.
    EXPECT_EQ(Objects(*packages), (Pairs{{"System", "{A1000000-0000-0000-0000-000000000001}"},
                                         {"Order Entry", "{B2000000-0000-0000-0000-000000000002}"},
                                         {"", "{C3000000-0000-0000-0000-000000000003}"}}));
    EXPECT_EQ(packages->Name(), "Packages");
    EXPECT_EQ(packages->Count(), 3);
    EXPECT_EQ(packages->Item(1).Name(), "Order Entry");

    auto components =
        packages->GetCollection("ComponentsInPackage", "{B2000000-0000-0000-0000-000000000002}");
    EXPECT_EQ(components->Count(), 0);  // empty until populated
    components->Populate();
    EXPECT_EQ(Objects(*components),
              (Pairs{{"Orders.Basket", "{C2000000-0000-0000-0000-00000000000A}"},
                     {"Orders.Ledger", "{C2000000-0000-0000-0000-00000000000B}"}}));
    components->Populate();  // populating again reads afresh, it does not add
    EXPECT_EQ(components->Count(), 2);
}

TEST_F(CatalogTest, PackageKeysMatchWithoutRegardToCase) {
    Import(kCatalog);
    auto components =
        Packages()->GetCollection("ComponentsInPackage", "{b2000000-0000-0000-0000-000000000002}");
    components->Populate();
    EXPECT_EQ(components->Count(), 2);
}

TEST_F(CatalogTest, PackageWithoutComponentsIsEmpty) {
    Import(kCatalog);
    for (const char* id : {"{A1000000-0000-0000-0000-000000000001}",
                           "{C3000000-0000-0000-0000-000000000003}"}) {
        auto components = Packages()->GetCollection("ComponentsInPackage", id);
        components->Populate();
        EXPECT_EQ(components->Count(), 0) << id;
    }
}

TEST_F(CatalogTest, NoCatalogKeyMeansNoTransactionServer) {
    Catalog catalog;
    EXPECT_EQ(ErrorOf([&] { catalog.Connect(""); }), kErrCatalogNotInstalled);
    // The catalog key alone: a server with no packages.
    Import("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarnwick\\Catalog]\r\n");
    EXPECT_EQ(Packages()->Count(), 0);
}

TEST_F(CatalogTest, OnlyTheLocalMachineIsServed) {
    Import(kCatalog);
    Catalog catalog;
    EXPECT_EQ(ErrorOf([&] { catalog.Connect("LEDGERSRV"); }), kErrServerUnavailable);
}

TEST_F(CatalogTest, UnknownCollectionNamesFail) {
    Import(kCatalog);
    Catalog catalog;
    auto root = catalog.Connect("");
    EXPECT_EQ(ErrorOf([&] { root->GetCollection("Applications", ""); }), kErrInvalidCollection);
    EXPECT_EQ(ErrorOf([&] { root->GetCollection("ComponentsInPackage", ""); }),
              kErrInvalidCollection);
    auto packages = Packages();
    EXPECT_EQ(ErrorOf([&] {
                  packages->GetCollection("Components", "{A1000000-0000-0000-0000-000000000001}");
              }),
              kErrInvalidCollection);
    auto components =
        packages->GetCollection("ComponentsInPackage", "{A1000000-0000-0000-0000-000000000001}");
    EXPECT_EQ(ErrorOf([&] { components->GetCollection("Packages", ""); }), kErrInvalidCollection);
}

TEST_F(CatalogTest, UnknownPackageKeysFail) {
    Import(kCatalog);
    auto packages = Packages();
    // A missing package; the empty key and a nested path, which would otherwise
    // open the Packages key itself or a key below a package.
    for (const char* key : {"{D4000000-0000-0000-0000-000000000004}", "",
                            "{B2000000-0000-0000-0000-000000000002}\\Components"}) {
        EXPECT_EQ(ErrorOf([&] { packages->GetCollection("ComponentsInPackage", key); }),
                  kErrKeyMissing)
            << key;
    }
}

TEST_F(CatalogTest, PackageRemovedAfterGettingItsCollectionFailsOnPopulate) {
    Import(kCatalog);
    auto components =
        Packages()->GetCollection("ComponentsInPackage", "{C3000000-0000-0000-0000-000000000003}");
    ASSERT_EQ(win::RegDeleteKey(win::HKEY_LOCAL_MACHINE,
                                "SOFTWARE\\Tarnwick\\Catalog\\Packages\\"
                                "{C3000000-0000-0000-0000-000000000003}"),
              win::ERROR_SUCCESS);
    EXPECT_EQ(ErrorOf([&] { components->Populate(); }), kErrKeyMissing);
}

TEST_F(CatalogTest, ItemOutsideTheCollectionIsSubscriptOutOfRange) {
    Import(kCatalog);
    auto packages = Packages();
    EXPECT_EQ(ErrorOf([&] { packages->Item(3); }), 9);
    EXPECT_EQ(ErrorOf([&] { packages->Item(-1); }), 9);
}

TEST(CatalogErrors, RegistryErrorsBecomeHResults) {
    EXPECT_EQ(HResultFromWin32(2), static_cast<std::int32_t>(0x80070002u));
    EXPECT_EQ(HResultFromWin32(1015), static_cast<std::int32_t>(0x800703F7u));
}

}  // namespace
}  // namespace mts
