#pragma once
// Events through connection points, both ways.
//
// Raising (our objects as the source): EventSource<Self> is a TableDispatch
// that is also a connection-point container with one point for the event
// interface `iid`. Fire calls every advised sink by DISPID, arguments in
// source order; a sink's failure comes back as vb::VbError.
//
// Receiving (an object of the IDE as the source): Subscription advises a sink
// of ours to the source's connection point. The event interface is learned
// from the point itself (EnumConnectionPoints, GetConnectionInterface), since
// the IDE's event interfaces have no published ids; the sink answers
// QueryInterface for that interface and for IDispatch. The destructor
// unadvises. The subscriber names the interface's events; their DISPIDs are
// taken by name from the source's type information (IProvideClassInfo, or
// the type library of IDispatch::GetTypeInfo), and only where it gives none
// are they taken to run from 1 in the order named.

#include <ocidl.h>

#include <oaidl.h>

#include <functional>
#include <initializer_list>
#include <map>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/com/dispatch.h"

namespace com {

class ConnectionPoint : public IConnectionPoint {
public:
    // `owner` holds the point and gives it its life (AddRef and Release go
    // to the owner).
    ConnectionPoint(IConnectionPointContainer* owner, const IID& iid);
    ~ConnectionPoint();

    HRESULT __stdcall QueryInterface(REFIID iid, void** out) override;
    ULONG __stdcall AddRef() override;
    ULONG __stdcall Release() override;
    HRESULT __stdcall GetConnectionInterface(IID* iid) override;
    HRESULT __stdcall GetConnectionPointContainer(IConnectionPointContainer** owner) override;
    HRESULT __stdcall Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT __stdcall Unadvise(DWORD cookie) override;
    HRESULT __stdcall EnumConnections(IEnumConnections** connections) override;

    const IID& Interface() const { return iid_; }
    std::size_t SinkCount() const { return sinks_.size(); }
    // Calls member `id` of every sink, in the order they were advised.
    void Fire(DISPID id, std::vector<Variant>& args);

    // Sinks advised to any point of this module and not yet unadvised.
    static long AdvisedSinks();

private:
    IConnectionPointContainer* owner_;
    IID iid_;
    DWORD nextCookie_ = 1;
    std::map<DWORD, ComPtr<IDispatch>> sinks_;
};

// The IConnectionPointContainer half of an event source; Self derives from
// EventSource<Self> and lists its members as for TableDispatch.
class PointContainer : public IConnectionPointContainer {
public:
    explicit PointContainer(const IID& iid) : point_(this, iid) {}
    HRESULT __stdcall EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT __stdcall FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

protected:
    ConnectionPoint point_;
};

// `classInfo`, when given, is the class's type information (a coclass whose
// source interface is `iid`, platform/com/event_types.h), which the source
// answers through IProvideClassInfo so that subscribers find the DISPIDs.
template <class Self>
class EventSource : public TableDispatch<Self>, public PointContainer, public IProvideClassInfo {
public:
    explicit EventSource(const IID& iid, ComPtr<ITypeInfo> classInfo = {})
        : PointContainer(iid), classInfo_(std::move(classInfo)) {}
    HRESULT __stdcall QueryInterface(REFIID iid, void** out) override {
        return DispatchObject::QueryInterface(iid, out);
    }
    ULONG __stdcall AddRef() override { return DispatchObject::AddRef(); }
    ULONG __stdcall Release() override { return DispatchObject::Release(); }
    HRESULT __stdcall GetClassInfo(ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = classInfo_.Get();
        if (!*info) return E_NOTIMPL;
        (*info)->AddRef();
        return S_OK;
    }

    void Fire(DISPID id, std::vector<Variant> args) { point_.Fire(id, args); }

protected:
    void* OtherInterface(REFIID iid) override {
        if (iid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
        if (iid == IID_IProvideClassInfo && classInfo_) return static_cast<IProvideClassInfo*>(this);
        return nullptr;
    }

private:
    ComPtr<ITypeInfo> classInfo_;
};

class Subscription {
public:
    // An event arrives as its position in the names the subscriber gave.
    using Handler = std::function<void(std::size_t event, Invocation& call)>;
    // Advises to the first connection point of `source`; `events` are the
    // event interface's member names in the order it declares them. Events
    // of other names are ignored. Errors: 91 for Nothing, 438 for an object
    // that raises no events, the source's refusal otherwise.
    Subscription(IDispatch* source, std::initializer_list<const wchar_t*> events, Handler handler);
    ~Subscription();
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;

private:
    class Sink;
    ComPtr<IConnectionPoint> point_;
    Sink* sink_ = nullptr;
    DWORD cookie_ = 0;
};

}  // namespace com
