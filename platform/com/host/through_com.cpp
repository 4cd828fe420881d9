// Reaching the environment through COM and back (platform/com/host/through_com.h).

#include "platform/com/host/through_com.h"

#include "platform/com/host/serve.h"
#include "platform/com/ide/ide.h"

namespace com::host {

vbide::VBEPtr ThroughCom(const std::shared_ptr<vbide::VBE>& vbe) { return ide::WrapVBE(ServeVBE(vbe).Get()); }

vbide::CommandBarControlPtr InEnvironment(const vbide::CommandBarControlPtr& control) {
    IDispatch* served = ide::DispatchOf(control);
    if (!served) return control;
    return std::static_pointer_cast<vbide::CommandBarControl>(ServedObject(served, typeid(vbide::CommandBarControl)));
}

}  // namespace com::host
