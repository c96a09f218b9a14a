// CDrive: one logical drive.
#pragma once
#include "system.h"

// One logical drive, named by its letter: its type and its free and total space. Also an
// ActiveX control that shows an icon.
class CDrive : public sys::Control<IDrive, &IID_IDrive, &CLSID_Drive, &DIID__IDriveEvents> {
public:
    HRESULT STDMETHODCALLTYPE get_FreeSpace(long* out) override;
    HRESULT STDMETHODCALLTYPE get_Letter(BSTR* out) override { return Get(letter_, out); }
    HRESULT STDMETHODCALLTYPE put_Letter(BSTR letter) override;
    HRESULT STDMETHODCALLTYPE get_TotalSpace(long* out) override;
    HRESULT STDMETHODCALLTYPE get_Type(dt_Types* out) override;

private:
    // Bytes of free (or all) clusters; E_FAIL with failed when the drive cannot be asked.
    HRESULT Space(long* out, bool free, const char* failed);

    zyk::com::Bstr letter_;
    std::string root_; // the letter followed by ":\", empty until Letter is set
    DWORD sectorsPerCluster_ = 0, bytesPerSector_ = 0, freeClusters_ = 0, totalClusters_ = 0;
};
