// Event sources. Subscriptions are held weakly: the add-in's reference keeps
// one alive, and an expired one is skipped and pruned. Handlers run one after
// the other in the order of subscription; a subscription dropped by an
// earlier handler of the same event is not called.

#include <algorithm>

#include "platform/vbide/model.h"

namespace vbide {

namespace {

// Calls each subscriber still alive, in order (a copy of the list, so that a
// handler may subscribe or unsubscribe); a handler that fails is reported and
// the others still run.
template <class Events>
void CallEach(std::vector<std::weak_ptr<Events>> targets, const std::function<void(Events&)>& call,
              const std::function<void(const std::exception&)>& report) {
    for (auto& weak : targets) {
        auto events = weak.lock();
        if (!events) continue;
        try {
            call(*events);
        } catch (const std::exception& e) {
            report(e);
        }
    }
}

}  // namespace

CommandBarEventsPtr EventHub::CommandBarEvents(const CommandBarControlPtr& control) {
    auto impl = std::dynamic_pointer_cast<ControlImpl>(control);
    if (!impl) ThrowError(5);
    impl->Check();
    auto events = std::make_shared<vbide::CommandBarEvents>();
    clicks_.push_back(ClickSub{impl, events});
    return events;
}

VBProjectsEventsPtr EventHub::VBProjectsEvents() {
    auto events = std::make_shared<vbide::VBProjectsEvents>();
    projects_.push_back(events);
    return events;
}

VBComponentsEventsPtr EventHub::VBComponentsEvents(const VBProjectPtr& project) {
    auto events = std::make_shared<vbide::VBComponentsEvents>();
    auto impl = std::dynamic_pointer_cast<ProjectImpl>(project);
    if (project && !impl) ThrowError(5);
    components_.push_back(ComponentSub{project == nullptr, impl, events});
    return events;
}

void EventHub::Report(const std::exception& e) {
    if (auto env = env_.lock()) {
        if (auto vb = dynamic_cast<const vb::VbError*>(&e))
            env->Report("Run-time error '" + std::to_string(vb->Number()) + "': " + vb->Description());
        else
            env->Report(e.what());
    }
}

void EventHub::RaiseClick(const std::shared_ptr<ControlImpl>& control, bool& handled,
                          bool& cancelDefault) {
    std::erase_if(clicks_, [](const ClickSub& s) { return s.events.expired() || s.control.expired(); });
    std::vector<std::weak_ptr<vbide::CommandBarEvents>> targets;
    for (auto& s : clicks_)
        if (s.control.lock() == control) targets.push_back(s.events);
    for (auto& weak : targets) {
        auto events = weak.lock();
        if (!events || !events->Click) continue;
        auto handler = events->Click;  // the handler may replace itself
        try {
            handler(control, handled, cancelDefault);
        } catch (const std::exception& e) {
            Report(e);
        }
    }
}

void EventHub::RaiseProject(const std::function<void(vbide::VBProjectsEvents&)>& call) {
    std::erase_if(projects_, [](auto& w) { return w.expired(); });
    CallEach<vbide::VBProjectsEvents>(projects_, call, [this](const std::exception& e) { Report(e); });
}

void EventHub::RaiseComponent(const std::shared_ptr<ProjectImpl>& project,
                              const std::function<void(vbide::VBComponentsEvents&)>& call) {
    std::erase_if(components_, [](const ComponentSub& s) { return s.events.expired(); });
    std::vector<std::weak_ptr<vbide::VBComponentsEvents>> targets;
    for (auto& s : components_)
        if (s.allProjects || (project && s.project.lock() == project)) targets.push_back(s.events);
    CallEach<vbide::VBComponentsEvents>(targets, call, [this](const std::exception& e) { Report(e); });
}

}  // namespace vbide
