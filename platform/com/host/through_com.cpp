// Reaching the environment through COM and back (platform/com/host/through_com.h).

#include "platform/com/host/through_com.h"

#include "platform/com/host/serve.h"
#include "platform/com/ide/ide.h"

namespace com::host {

vbide::VBEPtr ThroughCom(const std::shared_ptr<vbide::VBE>& vbe) { return ide::WrapVBE(ServeVBE(vbe).Get()); }

namespace {

template <class T>
std::shared_ptr<T> Own(const std::shared_ptr<T>& object) {
    IDispatch* served = ide::DispatchOf(object);
    if (!served) return object;
    return std::static_pointer_cast<T>(ServedObject(served, typeid(T)));
}

}  // namespace

vbide::VBProjectPtr InEnvironment(const vbide::VBProjectPtr& project) { return Own(project); }
vbide::VBComponentPtr InEnvironment(const vbide::VBComponentPtr& component) { return Own(component); }
vbide::CodeModulePtr InEnvironment(const vbide::CodeModulePtr& module) { return Own(module); }
vbide::CodePanePtr InEnvironment(const vbide::CodePanePtr& pane) { return Own(pane); }
vbide::WindowPtr InEnvironment(const vbide::WindowPtr& window) { return Own(window); }
vbide::CommandBarPtr InEnvironment(const vbide::CommandBarPtr& bar) { return Own(bar); }
vbide::CommandBarControlPtr InEnvironment(const vbide::CommandBarControlPtr& control) { return Own(control); }

}  // namespace com::host
