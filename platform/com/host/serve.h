#pragma once
// Our environment stand-in (platform/vbide) as an automation server with the
// IDE's member names and calling conventions: optional arguments, by-reference
// outputs (Find, ProcOfLine), errors raised as the IDE raises them
// (DISP_E_EXCEPTION, 0x800A00nn), and connection points for command-bar,
// project and component events. One contract object is one automation object
// while it is held, so identity holds across COM.

#include <oaidl.h>

#include <memory>
#include <string>
#include <typeinfo>

#include "platform/com/com_ptr.h"
#include "contract/vbide.h"

namespace com::host {

// The root object an add-in receives in OnConnection.
ComPtr<IDispatch> ServeVBE(const std::shared_ptr<vbide::VBE>& vbe);

// The IDE's record of a loaded add-in (OnConnection's AddInInst).
ComPtr<IDispatch> ServeAddIn(const std::shared_ptr<vbide::VBE>& vbe, const std::string& progId,
                             const std::string& guid, const std::string& description,
                             std::shared_ptr<bool> connected);

// The environment's object that a served object stands for, when it is one
// of ours serving a `type`; nullptr otherwise.
std::shared_ptr<void> ServedObject(IDispatch* object, const std::type_info& type);

// The native window that the served main window (VBE.MainWindow.HWnd)
// stands for, so that add-ins own their dialogs by it; none by default (the
// stand-in's windows are not native), when HWnd answers 0.
void SetMainWindowHandle(void* hwnd);

// The event interfaces the host's connection points carry. They are ours:
// an add-in must learn them from the point, as it must in the IDE.
extern const IID kCommandBarEventsIid;
extern const IID kProjectsEventsIid;
extern const IID kComponentsEventsIid;

}  // namespace com::host
