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
// unadvises.

#include <ocidl.h>

#include <functional>
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

template <class Self>
class EventSource : public TableDispatch<Self>, public PointContainer {
public:
    explicit EventSource(const IID& iid) : PointContainer(iid) {}
    HRESULT __stdcall QueryInterface(REFIID iid, void** out) override {
        return DispatchObject::QueryInterface(iid, out);
    }
    ULONG __stdcall AddRef() override { return DispatchObject::AddRef(); }
    ULONG __stdcall Release() override { return DispatchObject::Release(); }

    void Fire(DISPID id, std::vector<Variant> args) { point_.Fire(id, args); }

protected:
    void* OtherInterface(REFIID iid) override {
        if (iid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
        return nullptr;
    }
};

class Subscription {
public:
    using Handler = std::function<void(DISPID id, Invocation& call)>;
    // Advises to the first connection point of `source`. Errors: 91 for
    // Nothing, 438 for an object that raises no events, the source's
    // refusal otherwise.
    Subscription(IDispatch* source, Handler handler);
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
