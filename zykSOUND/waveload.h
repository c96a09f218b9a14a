// Loading of RIFF/WAVE sounds from "WAV" resources of the executable or from files into
// DirectSound secondary buffers.
#pragma once
#include "sound.h"
#include <cstddef>
#include <cstdint>

// The format and samples of a WAVE image: where they lie in it, and their sizes.
struct WaveData {
    const uint8_t* format = nullptr;
    size_t formatSize = 0;
    const uint8_t* samples = nullptr;
    size_t sampleSize = 0;
};

// Finds the "fmt " and "data" chunks of size bytes at bytes; never reads beyond them.
bool ParseWaveData(const void* bytes, size_t size, WaveData& out);

// The "WAV" resource of the process's executable named name, parsed.
bool FindWaveResource(const char* name, WaveData& out);

// Copies size bytes of samples into the start of buffer.
bool FillWaveBuffer(IDirectSoundBuffer* buffer, const void* samples, size_t size);

// A buffer with the volume, pan and frequency controls, filled with the named resource or
// file; null when neither loads. The caller owns the reference.
IDirectSoundBuffer* LoadWaveBuffer(IDirectSound* ds, const char* name);

// A buffer with the 3D, volume and frequency controls (3D sound takes no pan), likewise.
IDirectSoundBuffer* LoadWave3DBuffer(IDirectSound* ds, const char* name);

// The primary buffer of ds with the 3D control, whose listener the 3D sounds share; null
// when it cannot be made.
IDirectSoundBuffer* CreateListenerBuffer(IDirectSound* ds);
