// CObject: one model of the scene.
#pragma once
#include "zyk3D.h"
#include "com/create.h"
#include "com/object.h"
#include "com/ptr.h"
#include "com/tie.h"
#include <d3d.h>

// One model of the scene: a Material, a Position, a Colour, Points and a Parts child holding
// its .x model, an optional texture, and stored offsets. Drawing applies the texture and
// renders the parts; the other children are kept for the client.
class CObject : public zyk::com::CoClass<IObject, &IID_IObject, &CLSID_Object> {
public:
    CObject();
    ~CObject() override;

    HRESULT STDMETHODCALLTYPE get_Colour(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Material(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Position(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Texture(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE put_Texture(IDispatch* texture) override;
    HRESULT STDMETHODCALLTYPE put_Device(long device) override;
    HRESULT STDMETHODCALLTYPE Render() override;
    HRESULT STDMETHODCALLTYPE get_Points(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE put_Direct3D(long d3d) override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* out) override { return Get(name_, out); }
    HRESULT STDMETHODCALLTYPE put_Name(BSTR name) override;
    HRESULT STDMETHODCALLTYPE Free() override;
    HRESULT STDMETHODCALLTYPE Scale(float x, float y, float z) override;
    HRESULT STDMETHODCALLTYPE Move(float x, float y, float z) override;
    HRESULT STDMETHODCALLTYPE Rotate(float x, float y, float z) override;
    HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL* out) override { return Get(visible_ ? 1 : 0, out); }
    HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL visible) override { return Put(visible_, visible); }
    HRESULT STDMETHODCALLTYPE get_FillMode(FillModes* out) override { return Get(fillMode_, out); }
    HRESULT STDMETHODCALLTYPE put_FillMode(FillModes mode) override;
    HRESULT STDMETHODCALLTYPE LoadFile(BSTR filename) override;
    HRESULT STDMETHODCALLTYPE get_ScaleFactor(float* out) override { return Get(scaleFactor_, out); }
    HRESULT STDMETHODCALLTYPE get_Z(float* out) override { return Get(z_, out); }
    HRESULT STDMETHODCALLTYPE get_Y(float* out) override { return Get(y_, out); }
    HRESULT STDMETHODCALLTYPE get_X(float* out) override { return Get(x_, out); }
    HRESULT STDMETHODCALLTYPE get_Filename(BSTR* out) override { return Get(filename_, out); }
    HRESULT STDMETHODCALLTYPE Load(long f) override;
    HRESULT STDMETHODCALLTYPE Save(long f) override;
    HRESULT STDMETHODCALLTYPE get_Parts(IDispatch** out) override;

private:
    // Ties the children that take the device under the object as it is held now.
    void TieChildren();
    template <class T>
    HRESULT Child(const zyk::com::Ptr<T>& child, const char* missing, IDispatch** out);
    void ReleaseChildren();

    zyk::com::Apartment apartment_;
    zyk::com::Bstr name_;
    zyk::com::Bstr filename_; // the .x file the object last loaded
    float scaleFactor_ = 1.0f;
    zyk::com::Ptr<IColour> colour_;
    zyk::com::Ptr<IPoints> points_;
    zyk::com::Ptr<ITexture> texture_;
    zyk::com::Ptr<IMaterial> material_;
    zyk::com::Ptr<IParts> parts_;
    zyk::com::Ptr<IPosition> position_;
    // The ties of the children that the object hands the device to, cut when it lets
    // them go (Free, its end); each is tied again whenever the object hands them a pointer.
    zyk::com::Tie materialTie_, pointsTie_, partsTie_;
    // What the collection handed down, not referenced; void once the object is let go.
    zyk::com::Handed<IDirect3DDevice7> device_{OwnTie()};
    zyk::com::Handed<IDirect3D7> direct3d_{OwnTie()};
    bool visible_ = true;
    FillModes fillMode_ = fm_Solid;
    float x_ = 0.0f, y_ = 0.0f, z_ = 0.0f;
};
