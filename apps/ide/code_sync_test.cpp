#include "apps/ide/code_sync.h"

#include <gtest/gtest.h>

#include "platform/vbide/builder.h"

namespace ide {
namespace {

using Lines = std::vector<std::string>;

struct Fixture {
    explicit Fixture(const std::string& text) {
        env = vbide::EnvironmentBuilder::SingleModule(text);
        module = env->ActiveCodePane()->CodeModule();
    }
    // Writes `after` and answers the module's lines.
    Lines Write(const Lines& after) {
        WriteLines(*module, ModuleLines(*module), after);
        return ModuleLines(*module);
    }
    std::shared_ptr<vbide::Environment> env;
    vbide::CodeModulePtr module;
};

TEST(WriteLines, ReplacesInsertsAndDeletesToReachTheEditedText) {
    struct Case {
        const char* name;
        Lines after;
    };
    const std::vector<Case> cases = {
        {"one line changed", {"Option Explicit", "Dim x As Long", "Sub A()", "End Sub"}},
        {"line added in the middle", {"Option Explicit", "", "", "Sub A()", "End Sub"}},
        {"lines added at the end", {"Option Explicit", "", "Sub A()", "End Sub", "", "Sub B("}},
        {"lines deleted", {"Option Explicit", "End Sub"}},
        {"everything deleted", {}},
        {"first line added", {"' header", "Option Explicit", "", "Sub A()", "End Sub"}},
        {"blank lines added before a blank line", {"Option Explicit", "", "", "", "Sub A()", "End Sub"}},
        {"blank lines added at the end", {"Option Explicit", "", "Sub A()", "End Sub", "", ""}},
        {"last line changed and lines added after it", {"Option Explicit", "", "Sub A()", "End Sub '", "x"}},
    };
    for (const auto& c : cases) {
        Fixture f("Option Explicit\r\n\r\nSub A()\r\nEnd Sub\r\n");
        EXPECT_EQ(f.Write(c.after), c.after) << c.name;
    }
}

TEST(WriteLines, HalfTypedProcedureIsKeptNotRejected) {
    // The environment rejects illegal procedure text that add-ins insert;
    // what the user types is stored as typed.
    Fixture f("Option Explicit\r\n");
    EXPECT_EQ(f.Write({"Option Explicit", "Sub (", "End Sub"}), (Lines{"Option Explicit", "Sub (", "End Sub"}));
}

TEST(WriteLines, BlankLastLineStaysWhenLinesGoBeforeIt) {
    Fixture f("A\r\n\r\n");
    EXPECT_EQ(f.Write({"A", "B", ""}), (Lines{"A", "B", ""}));
    EXPECT_EQ(f.Write({"A", "B", "", "", ""}), (Lines{"A", "B", "", "", ""}));
}

TEST(WriteLines, EmptyModuleTakesTheFirstLines) {
    Fixture f("");
    EXPECT_EQ(f.Write({"Option Explicit", ""}), (Lines{"Option Explicit", ""}));
}

struct CountChanges : vbide::EnvironmentObserver {
    int changes = 0;
    void CodeChanged(const vbide::CodeModulePtr&) override { ++changes; }
};

TEST(WriteLines, OnlyTheEditedLinesAreWritten) {
    Fixture f("A\r\nB\r\nC\r\nD\r\n");
    auto count = std::make_shared<CountChanges>();
    f.env->AddObserver(count);
    WriteLines(*f.module, {"A", "B", "C", "D"}, {"A", "B", "C", "D"});
    EXPECT_EQ(count->changes, 0);
    WriteLines(*f.module, {"A", "B", "C", "D"}, {"A", "b", "C", "D"});
    EXPECT_EQ(count->changes, 1);
    WriteLines(*f.module, {"A", "b", "C", "D"}, {"A", "b", "x", "y", "C", "D"});
    EXPECT_EQ(count->changes, 2);
    EXPECT_EQ(ModuleLines(*f.module), (Lines{"A", "b", "x", "y", "C", "D"}));
}

TEST(WriteLines, ASliceFromAFirstLineLeavesTheRestAlone) {
    Fixture f("A\r\nB\r\nC\r\nD\r\n");
    WriteLines(*f.module, {"B"}, {"b", "x"}, 2);
    EXPECT_EQ(ModuleLines(*f.module), (Lines{"A", "b", "x", "C", "D"}));
    WriteLines(*f.module, {"C", "D"}, {"C"}, 4);
    EXPECT_EQ(ModuleLines(*f.module), (Lines{"A", "b", "x", "C"}));
    WriteLines(*f.module, {"C"}, {"c", "E"}, 4);
    EXPECT_EQ(ModuleLines(*f.module), (Lines{"A", "b", "x", "c", "E"}));
    EXPECT_EQ(ModuleLines(*f.module, 2, 2), (Lines{"b", "x"}));
}

}  // namespace
}  // namespace ide
