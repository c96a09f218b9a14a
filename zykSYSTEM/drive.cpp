// CDrive: its Letter, Type, and free and total space.
#include "drive.h"

HRESULT CDrive::put_Letter(BSTR letter)
{
    return Member([&] {
        zyk::com::Bstr kept(letter ? letter : L"");
        if (!kept.Get()) throw failure(E_OUTOFMEMORY, static_cast<UINT>(IDS_OUT_OF_MEMORY));
        std::string root = zyk::com::ToAnsi((std::wstring(kept.Text()) + L":\\").c_str());
        letter_ = std::move(kept);
        root_ = std::move(root);
    });
}

HRESULT CDrive::get_Type(dt_Types* out)
{
    return Member([&] {
        if (!out) return E_POINTER;
        *out = static_cast<dt_Types>(GetDriveTypeA(root_.c_str()));
        return S_OK;
    });
}

HRESULT CDrive::Space(long* out, bool free, const char* failed)
{
    return Member([&] {
        *zyk::com::CheckedOut(out) = 0;
        if (!GetDiskFreeSpaceA(root_.c_str(), &sectorsPerCluster_, &bytesPerSector_, &freeClusters_, &totalClusters_))
            throw failure(E_FAIL, failed);
        // Sizes of 2 GB and more do not fit the 32-bit signed result: they read as the
        // largest value it holds rather than a wrapped, smaller one.
        const unsigned long long bytes = static_cast<unsigned long long>(sectorsPerCluster_) * bytesPerSector_ *
                                         (free ? freeClusters_ : totalClusters_);
        *out = bytes > 0x7FFFFFFFull ? 0x7FFFFFFF : static_cast<long>(bytes);
    });
}

HRESULT CDrive::get_FreeSpace(long* out) { return Space(out, true, "Failed to obtain amount of free disk space."); }

HRESULT CDrive::get_TotalSpace(long* out) { return Space(out, false, "Failed to obtain total amount of disk space."); }
