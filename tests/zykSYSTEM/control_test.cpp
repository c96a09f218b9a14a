// The controls in a real container (the platform's AtlAxWin), also after the server was
// unloaded and loaded again, their drawing, their registration, their error information,
// their events and class information (and those of BIOS and CE), and the property page.
#include "system_fixture.h"
#include "atlhost.h"
#include "events.h"
#include "zykSYSTEM_classes.h"
#include <algorithm>
#include <olectl.h>

using sys_test::New;

namespace {

using Atl = testkit::AtlHost;

const wchar_t* const kControls[] = {L"ZYKSystem.Memory",    L"ZYKSystem.CPU",    L"ZYKSystem.OS",
                                    L"ZYKSystem.OSVersion", L"ZYKSystem.Drives", L"ZYKSystem.Drive"};

} // namespace

TEST(Controls, HostedByAtlAxWinEachAsAChildWindow)
{
    Atl atl;
    ASSERT_TRUE(atl.ready);
    HWND parent = testkit::CreateTestWindow(200, 150, "zykSYSTEM control host");
    for (const wchar_t* progId : kControls) {
        SCOPED_TRACE(testkit::Narrow(progId));
        HWND host = CreateWindowExW(0, L"AtlAxWin", progId, WS_CHILD | WS_VISIBLE, 10, 10, 64, 64, parent, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(host, nullptr);
        testkit::PumpMessages();
        IUnknown* u = nullptr;
        ASSERT_EQ(atl.getControl(host, &u), S_OK);
        ASSERT_NE(u, nullptr);
        IDispatch* d = nullptr;
        EXPECT_EQ(u->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d)), S_OK);
        HWND control = GetWindow(host, GW_CHILD);
        EXPECT_NE(control, nullptr);
        // A reflected notification reaches the default procedure as the plain message:
        // for a button's colour that answers with a brush.
        if (control) {
            HDC dc = GetDC(control);
            EXPECT_NE(SendMessageW(control, OCM__BASE + WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), 0), 0);
            ReleaseDC(control, dc);
        }
        if (d) d->Release();
        u->Release();
        DestroyWindow(host);
    }
    // A hosted CPU answers as the object does.
    HWND host = CreateWindowExW(0, L"AtlAxWin", L"ZYKSystem.CPU", WS_CHILD | WS_VISIBLE, 10, 10, 64, 64, parent,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    testkit::PumpMessages();
    IUnknown* u = nullptr;
    ASSERT_EQ(atl.getControl(host, &u), S_OK);
    ICPU* cpu = nullptr;
    ASSERT_EQ(u->QueryInterface(IID_ICPU, reinterpret_cast<void**>(&cpu)), S_OK);
    long count = 0;
    EXPECT_EQ(cpu->get_ProcessorCount(&count), S_OK);
    EXPECT_GE(count, 1);
    cpu->Release();
    u->Release();
    DestroyWindow(host);
    DestroyWindow(parent);
}

// Runs in a fresh process, where nothing else holds the server.
TEST(ControlsReload, Child)
{
    if (!GetEnvironmentVariableA("ZYK_RELOAD_CHILD", nullptr, 0)) GTEST_SKIP() << "runs in a child";
    std::vector<const wchar_t*> progIds;
    for (const wchar_t* progId : kControls) progIds.push_back(progId);
    testkit::ExpectControlsAfterReloads(L"zykSYSTEM.dll", progIds, 3);
}

TEST(Controls, GetTheirWindowAfterTheServerWasUnloadedAndLoadedAgain)
{
    EXPECT_EQ(testkit::RunCopy("zyk_sys_reload.exe", "ControlsReload.Child", "ZYK_RELOAD_CHILD", "1", {}), 0)
        << "the child failed (its output is above)";
}

TEST(Controls, EventsBindAsAFormsWithEventsDoes)
{
    std::vector<const wchar_t*> progIds{L"ZYKSystem.BIOS", L"ZYKSystem.CE"};
    for (const wchar_t* progId : kControls) progIds.push_back(progId);
    for (const wchar_t* progId : progIds) {
        SCOPED_TRACE(testkit::Narrow(progId));
        IUnknown* u = New<IUnknown>(progId, IID_IUnknown);
        ASSERT_NE(u, nullptr);
        testkit::ExpectEventsBind(u);
        u->Release();
    }
    // Memory's source is the one that declares an event.
    IUnknown* memory = New<IUnknown>(L"ZYKSystem.Memory", IID_IUnknown);
    ASSERT_NE(memory, nullptr);
    EXPECT_TRUE(IsEqualGUID(testkit::DefaultSource(memory), DIID__IMemoryEvents));
    memory->Release();
}

// BIOS and CE keep nothing, yet a container can save them into its storage and load them
// back from it: the storage names the class, and loading makes a working object. Their
// class information is that of their coclass (its default source is checked above).
TEST(PlainObjects, AnswerClassInformationAndPersistInAStorage)
{
    for (const wchar_t* progId : {L"ZYKSystem.BIOS", L"ZYKSystem.CE"}) {
        SCOPED_TRACE(testkit::Narrow(progId));
        IProvideClassInfo* info = New<IProvideClassInfo>(progId, IID_IProvideClassInfo);
        ASSERT_NE(info, nullptr);
        ITypeInfo* coclass = nullptr;
        ASSERT_EQ(info->GetClassInfo(&coclass), S_OK);
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
        EXPECT_EQ(attr->typekind, TKIND_COCLASS);
        CLSID expected{};
        CLSIDFromProgID(progId, &expected);
        EXPECT_TRUE(IsEqualGUID(attr->guid, expected));
        coclass->ReleaseTypeAttr(attr);
        coclass->Release();
        info->Release();

        IPersistStorage* persist = New<IPersistStorage>(progId, IID_IPersistStorage);
        ASSERT_NE(persist, nullptr);
        CLSID clsid{};
        EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
        EXPECT_TRUE(IsEqualGUID(clsid, expected));
        ILockBytes* bytes = nullptr;
        IStorage* storage = nullptr;
        ASSERT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes), S_OK);
        ASSERT_EQ(StgCreateDocfileOnILockBytes(bytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage),
                  S_OK);
        EXPECT_EQ(persist->InitNew(storage), S_OK);
        EXPECT_EQ(persist->IsDirty(), S_FALSE);
        EXPECT_EQ(OleSave(persist, storage, TRUE), S_OK);
        EXPECT_EQ(persist->SaveCompleted(nullptr), S_OK);
        EXPECT_EQ(persist->Save(nullptr, FALSE), E_POINTER);
        persist->Release();

        IDispatch* loaded = nullptr;
        ASSERT_EQ(OleLoad(storage, IID_IDispatch, nullptr, reinterpret_cast<void**>(&loaded)), S_OK);
        ASSERT_NE(loaded, nullptr);
        VARIANT name;
        VariantInit(&name);
        EXPECT_EQ(testkit::DispGet(loaded, L"Name", &name), S_OK);
        EXPECT_EQ(V_VT(&name), VT_BSTR);
        VariantClear(&name);
        loaded->Release();
        storage->Release();
        bytes->Release();
    }
}

TEST(Controls, DrawTheIconInA32By32Area)
{
    IViewObject2* view = New<IViewObject2>(L"ZYKSystem.CPU", IID_IViewObject2);
    ASSERT_NE(view, nullptr);
    testkit::Canvas canvas(128, 128, 0x010203u);
    ASSERT_TRUE(canvas.Ready());
    RECTL bounds{10, 20, 110, 120};
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.Dc(), &bounds, nullptr, nullptr, 0),
              S_OK);
    EXPECT_NE(canvas.At(10 + 16, 20 + 12), 0x010203u); // the icon at the rectangle's top-left
    EXPECT_EQ(canvas.At(10 + 40, 20 + 40), 0x010203u); // nothing beyond its 32 x 32
    EXPECT_EQ(canvas.At(5, 5), 0x010203u);
    view->Release();
}

TEST(Controls, RegisteredAsControlsWithTheirMiscStatus)
{
    testkit::ExpectRegistered(L"zykSYSTEM.dll", L"{9F5CFAC3-31E8-4889-9E34-E971517F1CE0}",
                              {ZYKSYSTEM_CLASSES(ZYK_REGISTERED_CLASS)});
    // Invisible at run time: OS and the rest; Memory and CPU are not.
    IOleObject* os = New<IOleObject>(L"ZYKSystem.OS", IID_IOleObject);
    IOleObject* cpu = New<IOleObject>(L"ZYKSystem.CPU", IID_IOleObject);
    ASSERT_TRUE(os && cpu);
    DWORD misc = 0;
    EXPECT_EQ(os->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
    EXPECT_TRUE(misc & OLEMISC_INVISIBLEATRUNTIME);
    EXPECT_EQ(cpu->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
    EXPECT_FALSE(misc & OLEMISC_INVISIBLEATRUNTIME);
    os->Release();
    cpu->Release();
}

TEST(Controls, ErrorInformationIsForTheClassOwnInterfaceOnly)
{
    ISupportErrorInfo* drive = New<ISupportErrorInfo>(L"ZYKSystem.Drive", IID_ISupportErrorInfo);
    ASSERT_NE(drive, nullptr);
    EXPECT_EQ(drive->InterfaceSupportsErrorInfo(IID_IDrive), S_OK);
    EXPECT_EQ(drive->InterfaceSupportsErrorInfo(IID_IDrives), S_FALSE);
    drive->Release();
    ISupportErrorInfo* ce = New<ISupportErrorInfo>(L"ZYKSystem.CE", IID_ISupportErrorInfo);
    ASSERT_NE(ce, nullptr);
    EXPECT_EQ(ce->InterfaceSupportsErrorInfo(IID_ICE), S_OK);
    ce->Release();
}

TEST(PropertyPage, DescribesItselfAndAppliesNothing)
{
    IPropertyPage* page = New<IPropertyPage>(L"ZYKSystem.PropPage", IID_IPropertyPage);
    ASSERT_NE(page, nullptr);
    PROPPAGEINFO info{};
    ASSERT_EQ(page->GetPageInfo(&info), S_OK);
    EXPECT_EQ(std::wstring(info.pszTitle), L"ZYK");
    EXPECT_EQ(std::wstring(info.pszHelpFile), L"ZYK.hlp");
    EXPECT_EQ(std::wstring(info.pszDocString), L"System");
    EXPECT_GT(info.size.cx, 271); // dialog units in pixels: wider than the units
    EXPECT_GT(info.size.cy, 105);
    CoTaskMemFree(info.pszTitle);
    CoTaskMemFree(info.pszHelpFile);
    CoTaskMemFree(info.pszDocString);

    HWND parent = testkit::CreateTestWindow(600, 300, "zykSYSTEM page host");
    RECT where{0, 0, 400, 200};
    EXPECT_EQ(page->Activate(parent, &where, FALSE), S_OK);
    EXPECT_NE(GetWindow(parent, GW_CHILD), nullptr);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    EXPECT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(page->Deactivate(), S_OK);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);
    page->Release();
    DestroyWindow(parent);
}
