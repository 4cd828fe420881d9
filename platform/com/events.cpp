// Connection points (platform/com/events.h).

#include "platform/com/events.h"

#include <olectl.h>

#include <atomic>

#include "base/vb_error.h"
#include "platform/com/error.h"

namespace com {

namespace {

std::atomic<long> advisedSinks{0};

// The type information of the event interface `iid` that `source` raises,
// from the type library its class information or its own type information
// lives in; nullptr when it gives none.
ComPtr<ITypeInfo> EventTypeInfo(IDispatch* source, const IID& iid) {
    ComPtr<ITypeInfo> any;
    if (auto provider = ComPtr<IDispatch>(source).As<IProvideClassInfo>(IID_IProvideClassInfo))
        if (FAILED(provider->GetClassInfo(any.Out()))) any.Reset();
    UINT count = 0;
    if (!any && SUCCEEDED(source->GetTypeInfoCount(&count)) && count > 0)
        if (FAILED(source->GetTypeInfo(0, LOCALE_USER_DEFAULT, any.Out()))) any.Reset();
    if (!any) return {};
    ComPtr<ITypeLib> library;
    UINT index = 0;
    ComPtr<ITypeInfo> events;
    if (FAILED(any->GetContainingTypeLib(library.Out(), &index)) || !library ||
        FAILED(library->GetTypeInfoOfGuid(iid, events.Out())))
        return {};
    return events;
}

// Each event's position by its DISPID: by name from the interface's type
// information; without any, the positions from 1.
std::map<DISPID, std::size_t> EventIds(IDispatch* source, const IID& iid,
                                       std::initializer_list<const wchar_t*> names) {
    const ComPtr<ITypeInfo> events = EventTypeInfo(source, iid);
    std::map<DISPID, std::size_t> ids;
    std::size_t position = 0;
    for (const wchar_t* name : names) {
        MEMBERID id = static_cast<MEMBERID>(position + 1);
        LPOLESTR asked = const_cast<LPOLESTR>(name);
        if (!events || SUCCEEDED(events->GetIDsOfNames(&asked, 1, &id))) ids.emplace(id, position);
        ++position;
    }
    return ids;
}

// The enumerator EnumConnectionPoints hands out: a snapshot of the points.
class PointEnumerator final : public RefCounted<IEnumConnectionPoints> {
public:
    explicit PointEnumerator(std::vector<ComPtr<IConnectionPoint>> points, std::size_t at = 0)
        : points_(std::move(points)), at_(at) {}

    HRESULT __stdcall Next(ULONG count, IConnectionPoint** out, ULONG* fetched) override {
        if (!out) return E_POINTER;
        ULONG n = 0;
        for (; n < count && at_ < points_.size(); ++n, ++at_) {
            out[n] = points_[at_].Get();
            out[n]->AddRef();
        }
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT __stdcall Skip(ULONG count) override {
        at_ += count;
        return at_ <= points_.size() ? S_OK : S_FALSE;
    }
    HRESULT __stdcall Reset() override {
        at_ = 0;
        return S_OK;
    }
    HRESULT __stdcall Clone(IEnumConnectionPoints** out) override {
        if (!out) return E_POINTER;
        try {
            *out = new PointEnumerator(points_, at_);
            return S_OK;
        } catch (...) {
            *out = nullptr;
            return E_OUTOFMEMORY;
        }
    }

private:
    void* Interface(REFIID iid) override {
        return iid == IID_IEnumConnectionPoints ? static_cast<IEnumConnectionPoints*>(this) : nullptr;
    }

    std::vector<ComPtr<IConnectionPoint>> points_;
    std::size_t at_;
};

}  // namespace

ConnectionPoint::ConnectionPoint(IConnectionPointContainer* owner, const IID& iid)
    : owner_(owner), iid_(iid) {}

ConnectionPoint::~ConnectionPoint() { advisedSinks -= static_cast<long>(sinks_.size()); }

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IConnectionPoint) return E_NOINTERFACE;
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

ULONG ConnectionPoint::AddRef() { return owner_->AddRef(); }
ULONG ConnectionPoint::Release() { return owner_->Release(); }

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = iid_;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** owner) {
    if (!owner) return E_POINTER;
    *owner = owner_;
    owner_->AddRef();
    return S_OK;
}

// As a source built by VB does: the sink must answer for the event interface.
HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    ComPtr<IDispatch> events;
    if (FAILED(sink->QueryInterface(iid_, reinterpret_cast<void**>(events.Out()))) || !events)
        return CONNECT_E_CANNOTCONNECT;
    try {
        sinks_.emplace(nextCookie_, events);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    *cookie = nextCookie_++;
    ++advisedSinks;
    return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
    if (sinks_.erase(cookie) == 0) return CONNECT_E_NOCONNECTION;
    --advisedSinks;
    return S_OK;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** connections) {
    if (connections) *connections = nullptr;
    return E_NOTIMPL;
}

void ConnectionPoint::Fire(DISPID id, std::vector<Variant>& args) {
    // A sink may unadvise itself (or others) while it runs: call a snapshot.
    std::vector<ComPtr<IDispatch>> sinks;
    for (auto& [cookie, sink] : sinks_) sinks.push_back(sink);
    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(*it->Raw());
    for (auto& sink : sinks) {
        DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        EXCEPINFO info{};
        UINT bad = 0;
        const HRESULT hr = sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                        nullptr, &info, &bad);
        if (FAILED(hr)) ThrowCallFailure(hr, info, L"event handler");
    }
}

long ConnectionPoint::AdvisedSinks() { return advisedSinks.load(); }

HRESULT PointContainer::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (!points) return E_POINTER;
    try {
        *points = new PointEnumerator({ComPtr<IConnectionPoint>(&point_)});
        return S_OK;
    } catch (...) {
        *points = nullptr;
        return E_OUTOFMEMORY;
    }
}

HRESULT PointContainer::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (!point) return E_POINTER;
    *point = nullptr;
    if (iid != point_.Interface()) return CONNECT_E_NOCONNECTION;
    *point = &point_;
    point_.AddRef();
    return S_OK;
}

// Our half of a subscription: answers for the event interface and IDispatch
// and hands every call to the handler by DISPID.
class Subscription::Sink : public DispatchObject {
public:
    using Handler = std::function<void(DISPID id, Invocation& call)>;
    Sink(const IID& iid, Handler handler) : iid_(iid), handler_(std::move(handler)) {}
    void Detach() { handler_ = nullptr; }

protected:
    DISPID IdOfName(const wchar_t*) override { return DISPID_UNKNOWN; }
    bool InvokeMember(DISPID id, Invocation& call) override {
        if (handler_) handler_(id, call);
        return true;  // events nobody handles are fine
    }
    void* OtherInterface(REFIID iid) override {
        return iid == iid_ ? static_cast<IDispatch*>(this) : nullptr;
    }

private:
    IID iid_;
    Handler handler_;
};

Subscription::Subscription(IDispatch* source, std::initializer_list<const wchar_t*> events, Handler handler) {
    if (!source) throw vb::VbError(91);
    auto container = ComPtr<IDispatch>(source).As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    if (!container) throw vb::VbError(438, "Events");
    ComPtr<IEnumConnectionPoints> points;
    HRESULT hr = container->EnumConnectionPoints(points.Out());
    ULONG fetched = 0;
    if (SUCCEEDED(hr)) hr = points->Next(1, point_.Out(), &fetched);
    if (FAILED(hr) || fetched != 1 || !point_) throw vb::VbError(438, "Events");
    IID iid{};
    hr = point_->GetConnectionInterface(&iid);
    if (FAILED(hr)) throw vb::VbError(VbErrorOfScode(hr), "Events");
    sink_ = new Sink(iid, [ids = EventIds(source, iid, events), handler = std::move(handler)](DISPID id,
                                                                                         Invocation& call) {
        const auto found = ids.find(id);
        if (found != ids.end()) handler(found->second, call);
    });
    hr = point_->Advise(static_cast<IDispatch*>(sink_), &cookie_);
    if (FAILED(hr)) {
        sink_->Release();
        sink_ = nullptr;
        point_.Reset();
        throw vb::VbError(VbErrorOfScode(hr), "Events");
    }
}

Subscription::~Subscription() {
    if (point_) point_->Unadvise(cookie_);
    if (sink_) {
        sink_->Detach();
        sink_->Release();
    }
}

}  // namespace com
