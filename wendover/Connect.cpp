#include "wendover/Connect.h"

#include "base/vb_error.h"
#include "platform/forms/vb_constants.h"
#include "shared/frmAbout.h"
#include "wendover/basWendover.h"

namespace wendover {

namespace {

// A member called on a reference that was never set fails as VB does.
template <class T>
T& Deref(const std::shared_ptr<T>& object) {
    if (!object) throw vb::VbError(91, "Wendover");
    return *object;
}

// A Window.Type passed as a 16-bit Integer: VB's conversion raises Overflow
// for a value that does not fit, rather than letting it wrap onto a known kind.
short NarrowKind(std::int32_t type) {
    if (type < -32768 || type > 32767) throw vb::VbError(6, "Wendover");
    return static_cast<short>(type);
}

// A new temporary button before position `before` of the menu captioned
// `menu` on the menu bar.
vbide::CommandBarControlPtr AddMenuButton(const vbide::VBEPtr& vbe, const char* menu,
                                          std::int32_t before) {
    vbide::CommandBarPtr menuBar = Deref(Deref(vbe).CommandBars()).Item("Menu Bar");
    vbide::CommandBarControlPtr popup = Deref(Deref(menuBar).Controls()).Item(menu);
    vbide::CommandBarPtr items = Deref(popup).CommandBar();
    return Deref(Deref(items).Controls()).Add(vbide::msoControlButton, 0, {}, before, true);
}

}  // namespace

Connect::Connect() = default;

Connect::~Connect() = default;

void Connect::OnConnection(const vbide::VBEPtr& VBInst, vbide::vbext_ConnectMode,
                           const vbide::AddInPtr&, vbide::CustomArgs&) {
    this->VBInst = VBInst;

    objMenu = AddMenuButton(VBInst, "View", 1);
    Deref(objMenu).SetCaption(kMaxCaption);
    objMenuHandler = Deref(Deref(VBInst).Events()).CommandBarEvents(objMenu);
    Deref(objMenuHandler).Click = [this](const vbide::CommandBarControlPtr& control, bool& handled,
                                         bool& cancelDefault) {
        objMenuHandler_Click(control, handled, cancelDefault);
    };

    objFormMenu = AddMenuButton(VBInst, "Add-Ins", 3);
    Deref(objFormMenu).SetCaption(kOptionsCaption);
    objFormMenuHandler = Deref(Deref(VBInst).Events()).CommandBarEvents(objFormMenu);
    Deref(objFormMenuHandler).Click = [this](const vbide::CommandBarControlPtr& control,
                                             bool& handled, bool& cancelDefault) {
        objFormMenuHandler_Click(control, handled, cancelDefault);
    };
}

void Connect::OnDisconnection(vbide::vbext_DisconnectMode, vbide::CustomArgs&) {
    // The About box goes with the add-in, before its library may.
    about::CloseAbout(about::Deliverable::Wendover);
    Deref(objMenu).Delete();
    Deref(objFormMenu).Delete();
}

void Connect::OnStartupComplete(vbide::CustomArgs&) {}

void Connect::OnAddInsUpdate(vbide::CustomArgs&) {}

void Connect::objMenuHandler_Click(const vbide::CommandBarControlPtr&, bool&, bool&) {
    vbide::WindowsPtr windows = Deref(VBInst).Windows();
    // The windows in the collection's own order. Count is asked at every step,
    // so a window that leaves the collection during the walk cannot lead it
    // past the end.
    for (std::int32_t i = 1; i <= Deref(windows).Count(); ++i) {
        vbide::WindowPtr window = windows->Item(i);
        const bool maximise = Deref(objMenu).Caption() == kMaxCaption;
        const short iType = NarrowKind(Deref(window).Type());
        if (maximise) {
            if (GetMaxClose(iType)) window->Close();
        } else {
            if (GetRestoreOpen(iType)) window->SetVisible(true);
        }
    }
    objMenu->SetCaption(objMenu->Caption() == kMaxCaption ? kRestoreCaption : kMaxCaption);
}

void Connect::objFormMenuHandler_Click(const vbide::CommandBarControlPtr&, bool&, bool&) {
    // One dialog at a time: while it is loaded, a click only brings it
    // forward; once it has unloaded itself, the next click opens a fresh one.
    if (!m_options || !m_options->IsLoaded()) m_options = std::make_unique<frmOptions>();
    m_options->Show(forms::vbModeless);
}

}  // namespace wendover
