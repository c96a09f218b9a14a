// The choice of a list whose collection gave an item that could not be listed: saved and
// shown again by the chosen item's position in the collection, as a game looks it up.
#include "applet_fixture.h"
#include "com/serverbinding.h"
namespace zyk3d {
#include "zyk3D.h"
}

using namespace applet;

namespace {

// The 3D engine's adapter list, as it is but for its first adapter, which it does not give.
struct FirstMissing final : StandIn<zyk3d::IDevices> {
    explicit FirstMissing(zyk3d::IDevices* real) : StandIn(zyk3d::IID_IDevices), real(real) { real->AddRef(); }
    ~FirstMissing() override { real->Release(); }
    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, VARIANT* out) override
    {
        if (V_VT(&index) == VT_I4 && V_I4(&index) == 1) return S_OK; // the VARIANT stays empty
        return real->Item(index, out);
    }
    HRESULT STDMETHODCALLTYPE get_Count(long* out) override { return real->get_Count(out); }

    zyk3d::IDevices* real;
};

TEST(ListPositions, AChoiceIsSavedAndShownByItsPositionInTheCollection)
{
    testkit::ComScope com;
    DeleteSettings();
    zyk3d::IDevices* real = nullptr;
    ASSERT_EQ(CoCreateInstance(zyk3d::CLSID_Devices, nullptr, CLSCTX_INPROC_SERVER, zyk3d::IID_IDevices,
                               reinterpret_cast<void**>(&real)),
              S_OK);
    long count = 0;
    real->get_Count(&count);
    ASSERT_GE(count, 3) << "Wine's 3D adapters";
    StandInClass devices(zyk3d::CLSID_Devices, [real] { return new FirstMissing(real); });
    ASSERT_TRUE(devices.Registered());
    Applet cpl;
    // The first item of the list is the collection's second adapter: position 1.
    EXPECT_TRUE(cpl.WithDialog(
        [&](HWND dialog) {
            EXPECT_EQ(Items(dialog, 1002).size(), static_cast<size_t>(count - 1));
            SendDlgItemMessageA(dialog, 1002, CB_SETCURSEL, 0, 0);
        },
        IDOK));
    EXPECT_EQ(Setting("3DRenderer"), "1");
    WriteSetting("3DRenderer", "2");
    EXPECT_TRUE(cpl.WithDialog([](HWND dialog) { EXPECT_EQ(Selection(dialog, 1002), 1); }));
    WriteSetting("3DRenderer", "0"); // the adapter that was not listed
    EXPECT_TRUE(cpl.WithDialog([](HWND dialog) { EXPECT_EQ(Selection(dialog, 1002), -1); }));
    real->Release();
    DeleteSettings();
}

} // namespace
