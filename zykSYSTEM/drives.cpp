// CDrives: one Drive made and filed for each letter of the logical drives.
#include "drives.h"

CDrives::CDrives()
{
    const DWORD present = GetLogicalDrives();
    for (int bit = 0; bit < 26; ++bit) {
        if (!(present & (1u << bit))) continue;
        void* made = nullptr;
        if (FAILED(CoCreateInstance(CLSID_Drive, nullptr, CLSCTX_INPROC_SERVER, IID_IDrive, &made)) || !made) continue;
        zyk::com::Ptr<IDrive> drive = zyk::com::Ptr<IDrive>::Adopt(static_cast<IDrive*>(made));
        const wchar_t letter[2] = {static_cast<wchar_t>(L'A' + bit), 0};
        zyk::com::Bstr name(letter);
        if (FAILED(drive->put_Letter(name.Get()))) continue;
        try {
            items_.Put(letter, drive.Get());
        } catch (...) {
            // A drive that cannot be filed is left out, like one that cannot be made.
        }
    }
}
