// The contract through COM: the environment stand-in served as automation
// objects (platform/com/host) and reached again through the contract over
// the IDE's objects (platform/com/ide), in one process. Whatever the contract
// promises must come out the same on the far side: values, by-reference
// outputs, optional arguments, identity, error numbers and events.

#include <gtest/gtest.h>
#include <objbase.h>

#include <span>

#include "base/vb_error_testing.h"
#include "platform/com/caller.h"
#include "platform/com/dispatch.h"
#include "platform/com/error.h"
#include "platform/com/event_types.h"
#include "platform/com/events.h"
#include "platform/com/module_count.h"
#include "platform/com/host/serve.h"
#include "platform/com/ide/ide.h"
#include "platform/com/variant.h"
#include "platform/vbide/builder.h"

namespace {

using vb::ErrorOf;

class ThroughCom : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        env_ = vbide::EnvironmentBuilder()
                   .Project("Shop")
                   .Module("basMain", "Option Explicit\r\nPrivate m_Count As Long\r\n\r\n"
                                      "Public Sub Main()\r\n    Total = 1\r\nEnd Sub\r\n"
                                      "Public Property Get Total() As Long\r\nEnd Property\r\n")
                   .Class("CItem", "Option Explicit\r\n")
                   .ActiveCodePane()
                   .Property("Configurations", "Count", "2")
                   .Build();
        served_ = com::host::ServeVBE(env_);
        vbe_ = com::ide::WrapVBE(served_.Get());
    }
    void TearDown() override {
        vbe_.reset();
        served_.Reset();
        env_.reset();
        CoUninitialize();
    }
    vbide::CodeModulePtr Main() { return vbe_->VBProjects()->Item(1)->VBComponents()->Item("basMain")->CodeModule(); }

    std::shared_ptr<vbide::Environment> env_;
    com::ComPtr<IDispatch> served_;
    vbide::VBEPtr vbe_;
};

TEST_F(ThroughCom, ValuesAndTextArriveAsTheStandInGivesThem) {
    EXPECT_EQ(vbe_->Version(), env_->Version());
    EXPECT_EQ(vbe_->ActiveVBProject()->Name(), "Shop");
    EXPECT_EQ(vbe_->ActiveCodePane()->CodeModule()->Name(), "CItem");
    EXPECT_EQ(vbe_->VBProjects()->Item(1)->VBComponents()->Item(2)->Type(), vbide::vbext_ct_ClassModule);
    auto module = Main();
    EXPECT_EQ(module->CountOfLines(), 8);
    EXPECT_EQ(module->CountOfDeclarationLines(), 2);
    EXPECT_EQ(module->ProcStartLine("total", vbide::vbext_pk_Get), 7);
    // Text is the ANSI code page's bytes on both sides: 0xE9 is one character
    // in the BSTR between them and the same byte again.
    module->InsertLines(3, "' Caf\xE9 \"quoted\"");
    EXPECT_EQ(module->Lines(3, 1), "' Caf\xE9 \"quoted\"");
    EXPECT_EQ(env_->VBProjects()->Item(1)->VBComponents()->Item("basMain")->CodeModule()->Lines(3, 1),
              "' Caf\xE9 \"quoted\"");
    vbe_->ActiveVBProject()->WriteProperty("Configurations", "Current", "2");
    EXPECT_EQ(env_->ActiveVBProject()->ReadProperty("Configurations", "Current"), "2");
}

TEST_F(ThroughCom, ByReferenceOutputsAndOptionalArgumentsWork) {
    auto module = Main();
    std::int32_t startLine = 1, startColumn = 1, endLine = -1, endColumn = -1;
    EXPECT_TRUE(module->Find("Total", startLine, startColumn, endLine, endColumn, true, false, false));
    EXPECT_EQ(startLine, 5);
    EXPECT_EQ(startColumn, 5);
    EXPECT_EQ(endLine, 5);
    EXPECT_EQ(endColumn, 9);
    std::int32_t none[4] = {1, 1, -1, -1};
    EXPECT_FALSE(module->Find("Absent", none[0], none[1], none[2], none[3], false, false, false));
    EXPECT_EQ(none[2], -1);  // left as it was

    vbide::vbext_ProcKind kind = vbide::vbext_pk_Proc;
    EXPECT_EQ(module->ProcOfLine(8, kind), "Total");
    EXPECT_EQ(kind, vbide::vbext_pk_Get);

    // Add with no id, no parameter and "at the end": the defaults travel as
    // missing arguments.
    auto tools = vbe_->CommandBars()->Item("Menu Bar")->Controls()->Item("Tools")->CommandBar()->Controls();
    const long before = tools->Count();
    auto added = tools->Add(vbide::msoControlButton, 0, {}, 0, true);
    EXPECT_EQ(tools->Count(), before + 1);
    EXPECT_EQ(added->Index(), before + 1);
    added->SetCaption("Mine");
    EXPECT_EQ(tools->Item(before + 1)->Caption(), "Mine");
    module->DeleteLines(1);
    EXPECT_EQ(module->Lines(1, 1), "Private m_Count As Long");
}

TEST_F(ThroughCom, OneObjectIsOneContractObjectWhileHeld) {
    auto first = vbe_->ActiveVBProject();
    EXPECT_EQ(vbe_->VBProjects()->Item(1), first);
    EXPECT_EQ(vbe_->VBProjects()->Item("shop"), first);
    auto pane = vbe_->ActiveCodePane();
    EXPECT_EQ(pane->CodeModule()->CodePane(), pane);
    EXPECT_NE(vbe_->VBProjects()->Item(1)->VBComponents()->Item(1), first->VBComponents()->Item(2));
}

TEST_F(ThroughCom, ErrorsKeepTheirNumbers) {
    auto module = Main();
    EXPECT_EQ(ErrorOf([&] { vbe_->VBProjects()->Item(5); }), 9);
    EXPECT_EQ(ErrorOf([&] { vbe_->ActiveVBProject()->ReadProperty("Nope", "Key"); }), 5);
    EXPECT_EQ(ErrorOf([&] { module->InsertLines(9, "Public Sub 1bad()\r\nEnd Sub"); }), 35);
    EXPECT_EQ(ErrorOf([&] { module->ProcStartLine("Absent", vbide::vbext_pk_Proc); }), 35);
    EXPECT_EQ(ErrorOf([&] { vbe_->CommandBars()->Item("Menu Bar")->Controls()->Item(1)->ListCount(); }), 438);
    EXPECT_EQ(ErrorOf([&] { vbe_->ActiveCodePane()->SetTopLine(0); }), 380);
    auto control = vbe_->CommandBars()->Item("Standard")->Controls()->Add(vbide::msoControlButton, 0, {}, 0, true);
    control->Delete();
    EXPECT_EQ(ErrorOf([&] { control->Caption(); }), vbide::kErrDisconnected);
    try {
        module->InsertLines(0, "x");
        ADD_FAILURE() << "no error";
    } catch (const vb::VbError& error) {
        EXPECT_EQ(error.Number(), 9);
        EXPECT_EQ(error.Description(), vb::StandardDescription(9));
    }
}

TEST_F(ThroughCom, ErrorNumbersMapToScodesAndBack) {
    for (std::int32_t number : {5, 9, 35, 91, 438, vb::vbObjectError + 513, vbide::kErrDisconnected})
        EXPECT_EQ(com::VbErrorOfScode(com::ScodeOfVbError(number)), number) << number;
    EXPECT_EQ(static_cast<std::uint32_t>(com::ScodeOfVbError(35)), 0x800A0023u);
    EXPECT_EQ(com::VbErrorOfScode(static_cast<HRESULT>(0x800A01B6u)), 438);
}

TEST_F(ThroughCom, ClicksReachTheSubscriberAndItsFlagsComeBack) {
    auto tools = vbe_->CommandBars()->Item("Menu Bar")->Controls()->Item("Tools")->CommandBar()->Controls();
    auto mine = tools->Add(vbide::msoControlButton, 0, {}, 1, true);
    mine->SetCaption("Mine");
    const long sinksBefore = com::ConnectionPoint::AdvisedSinks();
    auto events = vbe_->Events()->CommandBarEvents(mine);
    EXPECT_EQ(com::ConnectionPoint::AdvisedSinks(), sinksBefore + 1);
    int clicks = 0;
    events->Click = [&](const vbide::CommandBarControlPtr& control, bool& handled, bool& cancelDefault) {
        ++clicks;
        EXPECT_EQ(control, mine);
        EXPECT_FALSE(handled);
        handled = true;
        cancelDefault = true;
    };
    // The environment sees CancelDefault: it does not run a default command.
    EXPECT_FALSE(env_->Click(env_->CommandBars()->Item("Menu Bar")->Controls()->Item("Tools")->CommandBar()->Controls()->Item(1)));
    EXPECT_EQ(clicks, 1);
    // A failing handler is reported by the environment with its number.
    events->Click = [](const vbide::CommandBarControlPtr&, bool&, bool&) { throw vb::VbError(5, "Mine"); };
    env_->Click(env_->CommandBars()->Item("Menu Bar")->Controls()->Item("Tools")->CommandBar()->Controls()->Item(1));
    EXPECT_EQ(env_->Reports().size(), 1u);
    events.reset();
    EXPECT_EQ(com::ConnectionPoint::AdvisedSinks(), sinksBefore);
}

TEST_F(ThroughCom, ProjectAndComponentEventsArrive) {
    auto projects = vbe_->Events()->VBProjectsEvents();
    auto components = vbe_->Events()->VBComponentsEvents(vbe_->ActiveVBProject());
    std::string seen;
    projects->ItemAdded = [&](const vbide::VBProjectPtr& p) { seen += "project+" + p->Name() + " "; };
    projects->ItemActivated = [&](const vbide::VBProjectPtr& p) { seen += "active:" + p->Name() + " "; };
    components->ItemAdded = [&](const vbide::VBComponentPtr& c) { seen += "component+" + c->Name() + " "; };
    env_->AddComponent(env_->ActiveVBProject(), vbide::vbext_ct_StdModule, "modNew");
    auto other = env_->AddProject("Other");
    env_->AddComponent(other, vbide::vbext_ct_StdModule, "modElsewhere");  // not observed
    EXPECT_EQ(seen, "component+modNew project+Other active:Other ");
}

TEST_F(ThroughCom, ConversionsFollowVbsRules) {
    EXPECT_EQ(com::Variant(std::string("12")).AsInt32(), 12);
    EXPECT_TRUE(com::Variant(std::int32_t{-1}).AsBool());
    EXPECT_EQ(com::Variant(true).AsString(), "True");
    EXPECT_EQ(ErrorOf([] { com::Variant(std::string("twelve")).AsInt32(); }), 13);
    EXPECT_EQ(ErrorOf([] { com::Variant(std::int32_t{1}).AsDispatch(); }), 13);
    const std::vector<std::string> custom = {"a", "\xE9"};
    SAFEARRAY* array = com::ToSafeArray(custom);
    EXPECT_EQ(com::FromSafeArray(array), custom);
    SafeArrayDestroy(array);
}

// An object that counts how often its members' names are asked for.
class Counter : public com::TableDispatch<Counter> {
public:
    using Self = Counter;
    static std::span<const Member> Members() {
        static const Member members[] = {
            {L"Value", [](Self& s, com::Invocation& c) {
                 if (c.IsPut()) s.value = c.PutValue().AsInt32();
                 else c.Return(com::Variant(s.value));
             }},
        };
        return members;
    }
    int lookups = 0;
    std::int32_t value = 0;

protected:
    DISPID IdOfName(const wchar_t* name) override {
        ++lookups;
        return TableDispatch::IdOfName(name);
    }
};

TEST(Caller, AsksForEachNameOnceAndRaises438ForAMissingMember) {
    auto* counter = new Counter;
    {
        com::Caller caller(counter);
        caller.Put(L"Value", std::int32_t{7});
        EXPECT_EQ(caller.Get(L"Value").AsInt32(), 7);
        EXPECT_EQ(caller.Get(L"Value").AsInt32(), 7);
        EXPECT_EQ(counter->lookups, 1);
        EXPECT_EQ(ErrorOf([&] { caller.Call(L"Missing"); }), 438);
    }
    counter->Release();
    EXPECT_EQ(ErrorOf([] { com::Caller().Get(L"Value"); }), 91);
}

// A source of two events, "First" and "Second", with or without type
// information that numbers them.
// {5C1D9E40-7B2A-4F63-9A18-2E4D6B0C8F21}
const IID kTwoEventsIid = {0x5C1D9E40, 0x7B2A, 0x4F63, {0x9A, 0x18, 0x2E, 0x4D, 0x6B, 0x0C, 0x8F, 0x21}};

class TwoEvents : public com::EventSource<TwoEvents> {
public:
    explicit TwoEvents(com::ComPtr<ITypeInfo> classInfo) : EventSource(kTwoEventsIid, std::move(classInfo)) {}
    static std::span<const Member> Members() { return {}; }
};

// The events each DISPID brings to a subscriber of "First" and "Second".
std::vector<std::size_t> Heard(com::ComPtr<ITypeInfo> classInfo, std::initializer_list<DISPID> fired) {
    auto source = com::ComPtr<TwoEvents>::Adopt(new TwoEvents(std::move(classInfo)));
    std::vector<std::size_t> heard;
    com::Subscription subscription(source.Get(), {L"First", L"Second"},
                                   [&](std::size_t event, com::Invocation&) { heard.push_back(event); });
    for (DISPID id : fired) source->Fire(id, {});
    return heard;
}

TEST(EventIds, TakenByNameFromTheSourcesTypeInformationElseInTheirOrderFrom1) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    EXPECT_EQ(Heard({}, {2, 1, 0x41}), (std::vector<std::size_t>{1, 0}));
    auto numbered = com::EventClassInfo(kTwoEventsIid, L"TwoEvents", {{L"Second", 0x40, {}}, {L"First", 0x41, {}}});
    ASSERT_TRUE(numbered);
    EXPECT_EQ(Heard(numbered, {2, 1, 0x41, 0x40}), (std::vector<std::size_t>{0, 1}));
    // An interface without one of the names: that event never arrives.
    auto partial = com::EventClassInfo(kTwoEventsIid, L"TwoEvents", {{L"Second", 1, {}}});
    EXPECT_EQ(Heard(partial, {1, 2}), (std::vector<std::size_t>{1}));
    CoUninitialize();
}

// What a client holds keeps the module in use, an enumerator of connection
// points as much as an object with members.
TEST(RefCounted, EveryObjectAClientHoldsKeepsTheModuleInUse) {
    const long before = com::LiveObjects();
    auto source = com::ComPtr<TwoEvents>::Adopt(new TwoEvents({}));
    com::ComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(source->EnumConnectionPoints(points.Out()), S_OK);
    EXPECT_EQ(com::LiveObjects(), before + 2);
    com::ComPtr<IUnknown> unknown;
    ASSERT_EQ(points->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(unknown.Out())), S_OK);
    EXPECT_EQ(unknown.Get(), static_cast<IUnknown*>(points.Get()));
    unknown.Reset();
    points.Reset();
    source.Reset();
    EXPECT_EQ(com::LiveObjects(), before);
}

}  // namespace
