// The drive list and single drives, compared with GetLogicalDrives, GetDriveTypeA and
// GetDiskFreeSpaceA.
#include "system_fixture.h"
#include <vector>

using sys_test::New;
using sys_test::Take;

namespace {

std::vector<wchar_t> LettersHighestFirst()
{
    std::vector<wchar_t> letters;
    DWORD present = GetLogicalDrives();
    for (int bit = 25; bit >= 0; --bit)
        if (present & (1u << bit)) letters.push_back(static_cast<wchar_t>(L'A' + bit));
    return letters;
}

std::wstring LetterOf(IDispatch* d)
{
    IDrive* drive = testkit::As<IDrive>(d, IID_IDrive);
    if (!drive) return L"?";
    BSTR s = nullptr;
    drive->get_Letter(&s);
    drive->Release();
    return Take(s);
}

long Clamped(unsigned long long bytes) { return bytes > 0x7FFFFFFFull ? 0x7FFFFFFF : static_cast<long>(bytes); }

} // namespace

TEST(Drives, EveryLogicalDriveHighestLetterFirst)
{
    IDrives* drives = New<IDrives>(L"ZYKSystem.Drives", IID_IDrives);
    ASSERT_NE(drives, nullptr);
    const std::vector<wchar_t> letters = LettersHighestFirst();
    ASSERT_GE(letters.size(), 1u);
    long count = 0;
    EXPECT_EQ(drives->get_Count(&count), S_OK);
    ASSERT_EQ(count, static_cast<long>(letters.size()));

    for (long i = 1; i <= count; ++i) {
        VARIANT item;
        VariantInit(&item);
        ASSERT_EQ(drives->Item(testkit::VarI4(i), &item), S_OK);
        ASSERT_EQ(V_VT(&item), VT_DISPATCH);
        EXPECT_EQ(LetterOf(V_DISPATCH(&item)), std::wstring(1, letters[i - 1]));
    }
    VARIANT item;
    VariantInit(&item);
    EXPECT_EQ(drives->Item(testkit::VarI2(1), &item), S_OK);
    EXPECT_EQ(LetterOf(V_DISPATCH(&item)), std::wstring(1, letters[0]));

    // By letter: exactly one upper-case letter.
    const wchar_t first[2] = {letters.back(), 0};
    VARIANT key = testkit::VarBstr(first);
    VariantInit(&item);
    EXPECT_EQ(drives->Item(key, &item), S_OK);
    EXPECT_EQ(LetterOf(V_DISPATCH(&item)), std::wstring(first));
    EXPECT_EQ(V_VT(&key), VT_BSTR); // the caller's index is left alone
    VariantClear(&key);
    for (const wchar_t* wrong : {L"c", L"C:", L"C:\\", L""}) {
        key = testkit::VarBstr(wrong);
        VariantInit(&item);
        EXPECT_EQ(drives->Item(key, &item), E_INVALIDARG) << testkit::Narrow(wrong);
        VariantClear(&key);
    }
    // A letter that no drive has.
    for (wchar_t c = L'A'; c <= L'Z'; ++c) {
        if (GetLogicalDrives() & (1u << (c - L'A'))) continue;
        const wchar_t missing[2] = {c, 0};
        key = testkit::VarBstr(missing);
        EXPECT_EQ(drives->Item(key, &item), E_INVALIDARG);
        VariantClear(&key);
        break;
    }
    EXPECT_EQ(drives->Item(testkit::VarI4(0), &item), E_INVALIDARG);
    EXPECT_EQ(drives->Item(testkit::VarI4(count + 1), &item), E_INVALIDARG);
    EXPECT_EQ(drives->Item(testkit::VarR8(1.0), &item), E_INVALIDARG);

    // The enumerator yields the same order.
    IUnknown* u = nullptr;
    ASSERT_EQ(drives->get__NewEnum(&u), S_OK);
    IEnumVARIANT* e = nullptr;
    ASSERT_EQ(u->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&e)), S_OK);
    u->Release();
    size_t seen = 0;
    VARIANT v;
    VariantInit(&v);
    while (e->Next(1, &v, nullptr) == S_OK) {
        ASSERT_LT(seen, letters.size());
        EXPECT_EQ(LetterOf(V_DISPATCH(&v)), std::wstring(1, letters[seen]));
        ++seen;
        VariantInit(&v);
    }
    EXPECT_EQ(seen, letters.size());
    e->Release();
    drives->Release();
}

TEST(Drive, SpaceAndTypeAreThoseOfThePlatform)
{
    IDrive* drive = New<IDrive>(L"ZYKSystem.Drive", IID_IDrive);
    ASSERT_NE(drive, nullptr);
    BSTR letter = SysAllocString(L"C");
    EXPECT_EQ(drive->put_Letter(letter), S_OK);
    SysFreeString(letter);
    DWORD spc = 0, bps = 0, freeClusters = 0, total = 0;
    ASSERT_TRUE(GetDiskFreeSpaceA("C:\\", &spc, &bps, &freeClusters, &total));
    const unsigned long long totalBytes = 1ull * spc * bps * total;
    long v = 0;
    EXPECT_EQ(drive->get_TotalSpace(&v), S_OK);
    EXPECT_EQ(v, Clamped(totalBytes));
    EXPECT_GT(v, 0); // never a wrapped, negative size
    EXPECT_EQ(drive->get_FreeSpace(&v), S_OK);
    EXPECT_GE(v, 0);
    std::printf("drive C: %llu bytes in all (%u x %u x %u), reported %ld\n", totalBytes, static_cast<unsigned>(spc),
                static_cast<unsigned>(bps), static_cast<unsigned>(total), v);
    dt_Types type = dt_Unknown;
    EXPECT_EQ(drive->get_Type(&type), S_OK);
    EXPECT_EQ(type, static_cast<dt_Types>(GetDriveTypeA("C:\\")));
    BSTR s = nullptr;
    EXPECT_EQ(drive->get_Letter(&s), S_OK);
    EXPECT_EQ(Take(s), L"C");
    drive->Release();
}

TEST(Drive, ADriveThatIsNotThereFailsWithItsText)
{
    IDrive* drive = New<IDrive>(L"ZYKSystem.Drive", IID_IDrive);
    ASSERT_NE(drive, nullptr);
    wchar_t missing[2] = {0, 0};
    for (wchar_t c = L'Z'; c >= L'D'; --c)
        if (!(GetLogicalDrives() & (1u << (c - L'A')))) missing[0] = c;
    ASSERT_NE(missing[0], 0);
    BSTR letter = SysAllocString(missing);
    EXPECT_EQ(drive->put_Letter(letter), S_OK);
    SysFreeString(letter);
    long v = 5;
    testkit::ClearError();
    EXPECT_EQ(drive->get_FreeSpace(&v), E_FAIL);
    EXPECT_EQ(v, 0);
    testkit::ErrorRecord e = testkit::TakeError();
    EXPECT_EQ(e.description, testkit::SystemText(E_FAIL) + L"Failed to obtain amount of free disk space.");
    EXPECT_EQ(e.guid, IID_IDrive);
    EXPECT_EQ(e.source, L"ZYKSystem.Drive.1");
    v = 5;
    EXPECT_EQ(drive->get_TotalSpace(&v), E_FAIL);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(testkit::TakeError().description,
              testkit::SystemText(E_FAIL) + L"Failed to obtain total amount of disk space.");
    dt_Types type = dt_Fixed;
    EXPECT_EQ(drive->get_Type(&type), S_OK);
    EXPECT_EQ(type, static_cast<dt_Types>(DRIVE_NO_ROOT_DIR));

    // A long letter text is kept whole and cannot overrun the root path.
    BSTR longText = SysAllocStringLen(nullptr, 1000);
    for (int i = 0; i < 1000; ++i) longText[i] = L'Q';
    EXPECT_EQ(drive->put_Letter(longText), S_OK);
    BSTR back = nullptr;
    EXPECT_EQ(drive->get_Letter(&back), S_OK);
    EXPECT_EQ(SysStringLen(back), 1000u);
    SysFreeString(back);
    SysFreeString(longText);
    EXPECT_EQ(drive->get_FreeSpace(&v), E_FAIL);
    drive->Release();
}
