// Loading a WAVE sound from a resource or a file into a secondary buffer, and making the listener's buffer.
#include "waveload.h"
#include "formats/wave.h"
#include <cstring>
#include <vector>

using zyk::formats::WaveChunks;
using zyk::formats::WaveResult;

namespace {

constexpr DWORD kPlainFlags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;
constexpr DWORD k3DFlags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME;

// The file mapped read-only for as long as this lives.
class MappedFile {
public:
    explicit MappedFile(const char* name)
    {
        HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return;
        DWORD high = 0;
        DWORD low = GetFileSize(file, &high);
        HANDLE mapping = high == 0 && low != INVALID_FILE_SIZE && low > 0
                             ? CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr)
                             : nullptr;
        CloseHandle(file);
        if (!mapping) return;
        view_ = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
        CloseHandle(mapping);
        if (view_) size_ = low;
    }
    ~MappedFile()
    {
        if (view_) UnmapViewOfFile(view_);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const void* View() const { return view_; }
    size_t Size() const { return size_; }

private:
    void* view_ = nullptr;
    size_t size_ = 0;
};

IDirectSoundBuffer* CreateFilled(IDirectSound* ds, const WaveData& wave, DWORD flags)
{
    // The chunk's format record, completed and bounded, rather than the chunk in place:
    // a 14-byte chunk has no extra-size field, and a stated extra size may run past it.
    std::vector<uint8_t> format = zyk::formats::WaveFormatRecord(wave.format, wave.formatSize);
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = flags;
    desc.dwBufferBytes = static_cast<DWORD>(wave.sampleSize);
    desc.lpwfxFormat = reinterpret_cast<WAVEFORMATEX*>(format.data());
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(ds->CreateSoundBuffer(&desc, &buffer, nullptr)) || !buffer) return nullptr;
    if (!FillWaveBuffer(buffer, wave.samples, wave.sampleSize)) {
        buffer->Release();
        return nullptr;
    }
    return buffer;
}

IDirectSoundBuffer* LoadWave(IDirectSound* ds, const char* name, DWORD flags)
{
    if (!ds || !name) return nullptr;
    WaveData wave;
    if (FindWaveResource(name, wave)) return CreateFilled(ds, wave, flags);
    MappedFile file(name);
    if (!file.View() || !ParseWaveData(file.View(), file.Size(), wave)) return nullptr;
    return CreateFilled(ds, wave, flags);
}

} // namespace

bool ParseWaveData(const void* bytes, size_t size, WaveData& out)
{
    out = WaveData{};
    const auto* base = static_cast<const uint8_t*>(bytes);
    WaveChunks chunks;
    if (zyk::formats::ParseWave(base, size, chunks) != WaveResult::Ok) return false;
    out.format = base + chunks.formatOffset;
    out.formatSize = chunks.formatSize;
    out.samples = base + chunks.dataOffset;
    out.sampleSize = chunks.dataSize;
    return true;
}

bool FindWaveResource(const char* name, WaveData& out)
{
    out = WaveData{};
    HRSRC found = FindResourceA(nullptr, name, "WAV");
    if (!found) return false;
    HGLOBAL loaded = LoadResource(nullptr, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return false;
    return ParseWaveData(bytes, SizeofResource(nullptr, found), out);
}

bool FillWaveBuffer(IDirectSoundBuffer* buffer, const void* samples, size_t size)
{
    if (!buffer || !samples || size == 0) return false;
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstLength = 0, secondLength = 0;
    if (FAILED(buffer->Lock(0, static_cast<DWORD>(size), &first, &firstLength, &second, &secondLength, 0)))
        return false;
    const auto* from = static_cast<const uint8_t*>(samples);
    size_t copied = firstLength < size ? firstLength : size;
    if (first) std::memcpy(first, from, copied);
    if (second && secondLength && copied < size)
        std::memcpy(second, from + copied, secondLength < size - copied ? secondLength : size - copied);
    buffer->Unlock(first, firstLength, second, secondLength);
    return true;
}

IDirectSoundBuffer* LoadWaveBuffer(IDirectSound* ds, const char* name) { return LoadWave(ds, name, kPlainFlags); }

IDirectSoundBuffer* LoadWave3DBuffer(IDirectSound* ds, const char* name) { return LoadWave(ds, name, k3DFlags); }

IDirectSoundBuffer* CreateListenerBuffer(IDirectSound* ds)
{
    if (!ds) return nullptr;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D;
    IDirectSoundBuffer* primary = nullptr;
    if (FAILED(ds->CreateSoundBuffer(&desc, &primary, nullptr))) return nullptr;
    return primary;
}
