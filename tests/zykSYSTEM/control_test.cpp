// The six controls: what every control does (control_conformance.h), and what is this
// server's own: hosted, a reflected notification reaches the default procedure as the plain
// message and a CPU answers as the object does; BIOS and CE, which are no controls, with
// their events, class information and storage; the registration, the error information and
// the property page.
#include "system_fixture.h"
#include "control_conformance.h"
#include "zykSYSTEM_classes.h"

using zyk::com::Ptr;

namespace {

// The MiscStatus of the controls that show at run time, and of those that do not
// (OLEMISC_INVISIBLEATRUNTIME).
const DWORD kShown = 131473, kInvisible = 132497;

using testkit::Drawing;
const testkit::ControlServer kServer{
    L"zykSYSTEM.dll",
    {{L"ZYKSystem.Memory", &CLSID_Memory, &IID_IMemory, &DIID__IMemoryEvents, kShown, Drawing::Icon},
     {L"ZYKSystem.CPU", &CLSID_CPU, &IID_ICPU, &DIID__ICPUEvents, kShown, Drawing::Icon},
     {L"ZYKSystem.OS", &CLSID_OS, &IID_IOS, &DIID__IOSEvents, kInvisible, Drawing::Icon},
     {L"ZYKSystem.OSVersion", &CLSID_OSVersion, &IID_IOSVersion, &DIID__IOSVersionEvents, kInvisible, Drawing::Icon},
     {L"ZYKSystem.Drives", &CLSID_Drives, &IID_IDrives, &DIID__IDrivesEvents, kInvisible, Drawing::Icon},
     {L"ZYKSystem.Drive", &CLSID_Drive, &IID_IDrive, &DIID__IDriveEvents, kInvisible, Drawing::Icon}}};

} // namespace

INSTANTIATE_TEST_SUITE_P(zykSYSTEM, ControlConformance, testing::Values(kServer));

TEST(Controls, HostedTheyPassReflectedNotificationsOnAsThePlainMessage)
{
    testkit::AtlHost atl;
    ASSERT_TRUE(atl.ready);
    HWND parent = testkit::CreateTestWindow(200, 150, "zykSYSTEM control host");
    for (const testkit::ControlTraits& c : kServer.controls) {
        SCOPED_TRACE(testkit::Narrow(c.progId));
        testkit::HostedControl hosted(atl, parent, c.progId, 64, 64);
        ASSERT_NE(hosted.window, nullptr);
        // For a button's colour the default procedure answers with a brush.
        HDC dc = GetDC(hosted.window);
        EXPECT_NE(SendMessageW(hosted.window, OCM__BASE + WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), 0), 0);
        ReleaseDC(hosted.window, dc);
        hosted.Close();
        EXPECT_RELEASED(hosted.control);
    }
    // A hosted CPU answers as the object does.
    testkit::HostedControl hosted(atl, parent, L"ZYKSystem.CPU", 64, 64);
    auto cpu = hosted.control.As<ICPU>(IID_ICPU);
    ASSERT_TRUE(cpu);
    long count = 0;
    EXPECT_EQ(cpu->get_ProcessorCount(&count), S_OK);
    EXPECT_GE(count, 1);
    cpu.Reset();
    hosted.Close();
    EXPECT_RELEASED(hosted.control);
    DestroyWindow(parent);
}

// BIOS and CE keep nothing, yet a container can save them into its storage and load them
// back from it: the storage names the class, and loading makes a working object. Their
// class information is that of their coclass, and their events bind as a form binds them.
TEST(PlainObjects, AnswerClassInformationPersistInAStorageAndBindEvents)
{
    for (const wchar_t* progId : {L"ZYKSystem.BIOS", L"ZYKSystem.CE"}) {
        SCOPED_TRACE(testkit::Narrow(progId));
        auto object = testkit::Make<IUnknown>(progId, IID_IUnknown);
        ASSERT_TRUE(object);
        testkit::ExpectEventsBind(object.Get());
        CLSID expected{};
        CLSIDFromProgID(progId, &expected);
        auto info = object.As<IProvideClassInfo>(IID_IProvideClassInfo);
        ASSERT_TRUE(info);
        Ptr<ITypeInfo> coclass;
        ASSERT_EQ(info->GetClassInfo(coclass.Out()), S_OK);
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
        EXPECT_EQ(attr->typekind, TKIND_COCLASS);
        EXPECT_TRUE(IsEqualGUID(attr->guid, expected));
        coclass->ReleaseTypeAttr(attr);
        coclass.Reset();
        info.Reset();

        auto persist = object.As<IPersistStorage>(IID_IPersistStorage);
        ASSERT_TRUE(persist);
        CLSID clsid{};
        EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
        EXPECT_TRUE(IsEqualGUID(clsid, expected));
        Ptr<ILockBytes> bytes;
        Ptr<IStorage> storage;
        ASSERT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.Out()), S_OK);
        ASSERT_EQ(StgCreateDocfileOnILockBytes(bytes.Get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                               storage.Out()),
                  S_OK);
        EXPECT_EQ(persist->InitNew(storage.Get()), S_OK);
        EXPECT_EQ(persist->IsDirty(), S_FALSE);
        EXPECT_EQ(OleSave(persist.Get(), storage.Get(), TRUE), S_OK);
        EXPECT_EQ(persist->SaveCompleted(nullptr), S_OK);
        EXPECT_EQ(persist->Save(nullptr, FALSE), E_POINTER);
        persist.Reset();
        EXPECT_RELEASED(object);

        Ptr<IDispatch> loaded;
        ASSERT_EQ(OleLoad(storage.Get(), IID_IDispatch, nullptr, reinterpret_cast<void**>(loaded.Out())), S_OK);
        ASSERT_TRUE(loaded);
        VARIANT name;
        VariantInit(&name);
        EXPECT_EQ(testkit::DispGet(loaded.Get(), L"Name", &name), S_OK);
        EXPECT_EQ(V_VT(&name), VT_BSTR);
        VariantClear(&name);
        EXPECT_RELEASED(loaded);
    }
}

// The MiscStatus that the controls answer is checked with the rest of what a control does.
TEST(Controls, RegisteredAsControlsWithTheirMiscStatus)
{
    testkit::ExpectRegistered(L"zykSYSTEM.dll", L"{9F5CFAC3-31E8-4889-9E34-E971517F1CE0}",
                              {ZYKSYSTEM_CLASSES(ZYK_REGISTERED_CLASS)});
}

TEST(Controls, ErrorInformationIsForTheClassOwnInterfaceOnly)
{
    auto drive = testkit::Make<ISupportErrorInfo>(L"ZYKSystem.Drive", IID_ISupportErrorInfo);
    ASSERT_TRUE(drive);
    EXPECT_EQ(drive->InterfaceSupportsErrorInfo(IID_IDrive), S_OK);
    EXPECT_EQ(drive->InterfaceSupportsErrorInfo(IID_IDrives), S_FALSE);
    EXPECT_RELEASED(drive);
    auto ce = testkit::Make<ISupportErrorInfo>(L"ZYKSystem.CE", IID_ISupportErrorInfo);
    ASSERT_TRUE(ce);
    EXPECT_EQ(ce->InterfaceSupportsErrorInfo(IID_ICE), S_OK);
    EXPECT_RELEASED(ce);
}

TEST(PropertyPage, DescribesItselfAndAppliesNothing)
{
    auto page = testkit::Make<IPropertyPage>(L"ZYKSystem.PropPage", IID_IPropertyPage);
    ASSERT_TRUE(page);
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
    EXPECT_RELEASED(page);
    DestroyWindow(parent);
}
