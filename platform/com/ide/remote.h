#pragma once
// The pieces every contract class over an IDE object shares (platform/com/ide):
// the late-bound caller and the session that keeps one contract object per
// IDE object.

#include <oaidl.h>

#include <map>
#include <memory>
#include <typeinfo>
#include <utility>

#include "base/vb_error.h"

#include "platform/com/caller.h"
#include "contract/vbide.h"

namespace com::ide {

// VB's Long as the contract spells it, so these classes follow the contract's
// integer type.
using VbLong = decltype(std::declval<vbide::Windows&>().Count());

class Remote;

// One connection to the IDE: the map from an object's identity to the
// contract object that stands for it while someone holds that.
class Session : public std::enable_shared_from_this<Session> {
public:
    template <class W>
    std::shared_ptr<W> Wrap(IDispatch* object) {
        if (!object) return nullptr;
        const Key key{Identity(object), &typeid(W)};
        auto found = objects_.find(key);
        if (found != objects_.end())
            if (auto alive = std::static_pointer_cast<W>(found->second.lock())) return alive;
        Prune();
        auto made = std::make_shared<W>(shared_from_this(), object);
        objects_[key] = made;
        return made;
    }

private:
    using Key = std::pair<IUnknown*, const std::type_info*>;
    void Prune();
    std::map<Key, std::weak_ptr<void>> objects_;
};

// A contract object still to be made: converts to the contract's pointer
// type, so that a class may return an object of a class defined after it.
template <class W>
class Wrapped {
public:
    Wrapped(std::shared_ptr<Session> session, Variant object) : session_(std::move(session)), object_(std::move(object)) {}
    template <class B>
    operator std::shared_ptr<B>() const {  // NOLINT: converts as the pointer it stands for
        return session_->Wrap<W>(object_.AsDispatch());
    }

private:
    std::shared_ptr<Session> session_;
    Variant object_;
};

class Remote {
public:
    Remote(std::shared_ptr<Session> session, IDispatch* object) : session_(std::move(session)), object_(object) {}
    virtual ~Remote() = default;
    IDispatch* Dispatch() const { return object_.Object(); }
    const std::shared_ptr<Session>& SessionOf() const { return session_; }

protected:
    Variant Get(const wchar_t* name, std::vector<Variant> args = {}) { return object_.Get(name, std::move(args)); }
    std::string Str(const wchar_t* name, std::vector<Variant> args = {}) { return Get(name, std::move(args)).AsString(); }
    VbLong Int(const wchar_t* name, std::vector<Variant> args = {}) { return Get(name, std::move(args)).AsInt32(); }
    bool Bool(const wchar_t* name) { return Get(name).AsBool(); }
    void Put(const wchar_t* name, Variant value) { object_.Put(name, std::move(value)); }
    void PutRef(const wchar_t* name, Variant value) { object_.PutRef(name, std::move(value)); }
    Variant Call(const wchar_t* name, std::vector<Variant> args = {}) { return object_.Call(name, std::move(args)); }
    template <class W>
    Wrapped<W> Obj(const wchar_t* name, std::vector<Variant> args = {}) {
        return Wrapped<W>(session_, Get(name, std::move(args)));
    }
    template <class W>
    Wrapped<W> Wrap(const Variant& object) { return Wrapped<W>(session_, object); }

private:
    std::shared_ptr<Session> session_;
    Caller object_;
};

// The automation object of a contract object made here; error 5 for
// Nothing or an object of another environment.
template <class T>
IDispatch* Required(const std::shared_ptr<T>& object) {
    auto* remote = dynamic_cast<Remote*>(object.get());
    if (!remote) throw vb::VbError(5);
    return remote->Dispatch();
}

}  // namespace com::ide
