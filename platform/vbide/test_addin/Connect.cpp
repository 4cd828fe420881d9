// An add-in library that the environment's tests build, register and load.
// It puts "Test Command" first in the Tools menu and keeps a log of what the
// environment called in that control's Tag, so that a test can read it. Built
// a second time with TEST_ADDIN_FAILS, its OnConnection fails after adding
// the control.

#include <memory>
#include <string>

#include "shared/addin_server.h"
#include "contract/vbide.h"

namespace {

class Connect : public vbide::IDTExtensibility {
public:
    void OnConnection(const vbide::VBEPtr& VBInst, vbide::vbext_ConnectMode ConnectMode,
                      const vbide::AddInPtr& AddInInst, vbide::CustomArgs&) override {
        vbe_ = VBInst;
        auto tools = VBInst->CommandBars()->Item("Menu Bar")->Controls()->Item("Tools")->CommandBar();
        button_ = tools->Controls()->Add(vbide::msoControlButton, 0, {}, 1, true);
        button_->SetCaption("Test Command");
        Log("connect " + std::to_string(ConnectMode) + " " + AddInInst->ProgId());
#ifdef TEST_ADDIN_FAILS
        throw vb::VbError(5, "TestAddIn", "refused to connect");
#endif
        handler_ = VBInst->Events()->CommandBarEvents(button_);
        handler_->Click = [this](const vbide::CommandBarControlPtr& control, bool&, bool&) {
            Log("click " + control->Caption());
        };
    }
    void OnDisconnection(vbide::vbext_DisconnectMode RemoveMode, vbide::CustomArgs&) override {
        // The log outlives the control in the active project's store.
        if (auto project = vbe_->ActiveVBProject())
            project->WriteProperty("TestAddIn", "Log", button_->Tag() + "disconnect " +
                                                           std::to_string(RemoveMode) + ";");
        button_->Delete();
        handler_.reset();
        vbe_.reset();
    }
    void OnStartupComplete(vbide::CustomArgs&) override { Log("startup"); }
    void OnAddInsUpdate(vbide::CustomArgs&) override { Log("update"); }

private:
    void Log(const std::string& entry) { button_->SetTag(button_->Tag() + entry + ";"); }

    vbide::VBEPtr vbe_;
    vbide::CommandBarControlPtr button_;
    vbide::CommandBarEventsPtr handler_;
};

}  // namespace

#ifdef TEST_ADDIN_FAILS
TARNWICK_ADDIN(Connect, "VbideFailingAddIn.Connect", "{5B1C4A1E-7D9A-4E7B-9C33-0F2D1E4A6B02}",
               "Environment test add-in that fails")
#else
TARNWICK_ADDIN(Connect, "VbideTestAddIn.Connect", "{5B1C4A1E-7D9A-4E7B-9C33-0F2D1E4A6B01}",
               "Environment test add-in")
#endif
