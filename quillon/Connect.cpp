#include "quillon/Connect.h"

#include <exception>

#include "base/text.h"
#include "base/vb_error.h"
#include "platform/forms/runtime.h"
#include "quillon/app_info.h"
#include "quillon/frmDialog.h"
#include "quillon/insert_procedure.h"

namespace quillon {

namespace {

vbide::CommandBarControlsPtr ToolsMenu(vbide::VBE& vbe) {
    return vbe.CommandBars()->Item("Menu Bar")->Controls()->Item("Tools")->CommandBar()->Controls();
}

void ShowError(const vb::VbError& error) {
    if (error.Number() == 35) {
        forms::MsgBox("Illegal or incorrect procedure construct.", forms::vbOKOnly | forms::vbExclamation,
                      "Tarnwick Add Procedure");
        return;
    }
    forms::MsgBox("Error:" + std::to_string(error.Number()) + " " + error.Description(), forms::vbOKOnly,
                  QuillonAppInfo().Title);
}

}  // namespace

Connect::Connect() = default;

Connect::~Connect() = default;

void Connect::IDTExtensibility_OnConnection(const vbide::VBEPtr& vbInst, vbide::vbext_ConnectMode,
                                            const vbide::AddInPtr&, vbide::CustomArgs&) {
    VBInst = vbInst;

    m_HiddenCommand = ToolsMenu(*VBInst)->Item(1);
    // The caption is kept so that disconnecting gives the environment's
    // command back exactly as it was.
    m_HiddenCaption = m_HiddenCommand->Caption();
    m_HiddenCommand->SetVisible(false);

    m_CommandButton = ToolsMenu(*VBInst)->Add(vbide::msoControlButton, 0, {}, 1, true);
    m_CommandButton->SetCaption("Tarnwick Add Procedure...");

    objMenuHandler = VBInst->Events()->CommandBarEvents(m_CommandButton);
    objMenuHandler->Click = [this](const vbide::CommandBarControlPtr& control, bool& handled,
                                   bool& cancelDefault) {
        objMenuHandler_Click(control, handled, cancelDefault);
    };

    m_Dialog = std::make_unique<frmDialog>(QuillonAppInfo());
    m_Dialog->Load();
}

void Connect::IDTExtensibility_OnDisconnection(vbide::vbext_DisconnectMode, vbide::CustomArgs&) {
    objMenuHandler.reset();
    if (m_CommandButton) m_CommandButton->Delete();
    m_CommandButton.reset();
    if (m_HiddenCommand) {
        m_HiddenCommand->SetCaption(m_HiddenCaption);
        m_HiddenCommand->SetVisible(true);
    }
    m_HiddenCommand.reset();
    if (m_Dialog) m_Dialog->Unload();
    m_Dialog.reset();
    m_CodeModule.reset();
    VBInst.reset();
}

void Connect::objMenuHandler_Click(const vbide::CommandBarControlPtr&, bool&, bool&) {
    try {
        PrepareDialog();
        FindCodeModule();
        if (!m_CodeModule) {
            forms::MsgBox("Please select a Code Module!", forms::vbOKOnly | forms::vbExclamation,
                          "Add Procedure");
            return;
        }
        m_Dialog->SetCaption("Insert Procedure into " + m_CodeModule->Parent()->Name());
        m_Dialog->Show(forms::vbModal);
        if (text::Trim(m_Dialog->txtName().Text()).empty()) return;
        InsertProcedure();
        Scroll();
    } catch (const vb::VbError& error) {
        ShowError(error);
    } catch (const std::exception& error) {
        // A failure from outside VB's world still ends the use with a message.
        ShowError(vb::VbError(51, "Quillon", error.what()));
    }
}

void Connect::PrepareDialog() {
    m_Dialog->PrepareForOpening();
    forms::ComboBox& types = m_Dialog->cboDataType();
    const vbide::VBProjectsPtr projects = VBInst->VBProjects();
    for (std::int32_t p = 1; p <= projects->Count(); ++p) {
        const vbide::VBComponentsPtr components = projects->Item(p)->VBComponents();
        for (std::int32_t c = 1; c <= components->Count(); ++c) {
            const vbide::VBComponentPtr component = components->Item(c);
            if (component->Type() != vbide::vbext_ct_ClassModule) continue;
            types.AddItem(component->Name());
            types.SetItemData(types.NewIndex(), classProject);
        }
    }
}

void Connect::FindCodeModule() {
    const vbide::CodePanePtr pane = VBInst->ActiveCodePane();
    m_CodeModule = pane ? pane->CodeModule() : nullptr;
}

void Connect::InsertProcedure() {
    quillon::InsertProcedure(*m_CodeModule, m_Dialog->Request(),
                             [this] { return ActiveProjectName(*VBInst); });
}

void Connect::Scroll() {
    const std::int32_t line = ScrollLine(*m_CodeModule, m_Dialog->Request());
    if (line > 0) m_CodeModule->CodePane()->SetTopLine(line);
}

}  // namespace quillon
