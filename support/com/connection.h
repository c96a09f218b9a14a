// The connection point of one outgoing interface, and the enumerators a container and a
// point hand out.
//
//   ConnectionPoint events_{static_cast<IConnectionPointContainer*>(this), DIID__IMemoryEvents};
//
// The point lives inside its container object and shares its reference count, so that a
// client holding the point keeps the object alive. Advise takes the sink's interface of the
// point's IID (a sink that does not answer it cannot connect); cookies start at 1 and are
// never handed out twice by one point.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <vector>

namespace zyk::com {

class ConnectionPoint final : public IConnectionPoint {
public:
    ConnectionPoint(IConnectionPointContainer* container, const IID& iid) : container_(container), iid_(iid) {}
    ~ConnectionPoint();
    ConnectionPoint(const ConnectionPoint&) = delete;
    ConnectionPoint& operator=(const ConnectionPoint&) = delete;

    const IID& Iid() const { return iid_; }
    // Releases every connected sink.
    void UnadviseAll();

    // IUnknown: the point answers IUnknown and IConnectionPoint; the count is its container's.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return container_->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return container_->Release(); }

    // IConnectionPoint
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* out) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

private:
    IConnectionPointContainer* container_;
    IID iid_;
    std::vector<CONNECTDATA> sinks_;
    DWORD lastCookie_ = 0;
};

// An enumerator of no connection points, for classes that declare events but offer no
// point to connect to.
HRESULT CreateEmptyConnectionPointEnum(IEnumConnectionPoints** out);

// An enumerator of one point, which it holds while it lives.
HRESULT CreateConnectionPointEnum(IConnectionPoint* point, IEnumConnectionPoints** out);

} // namespace zyk::com
