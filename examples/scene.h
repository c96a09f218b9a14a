// The sample game's scene on an initialised Device3D: the "Default" camera circling a lit
// .x model (written next to the program) and a chequered teapot in a linear fog, with a
// half-transparent badge sprite in a corner. The game and the soak benchmark draw it.
#pragma once
#include "zyk3D.h"

namespace sample {

class GameScene {
public:
    // Builds the scene on the device; a failing step ends the program (Fail).
    explicit GameScene(IDevice3D* device);
    ~GameScene();
    GameScene(const GameScene&) = delete;
    GameScene& operator=(const GameScene&) = delete;

    // Frame number frame of a circle of frames: the camera at its place on the circle,
    // then Clear, Render and Update.
    void Frame(int frame, int frames);

private:
    IDevice3D* device_;
    VARIANT cameraName_, cameraItem_;
    ICameras* cameras_ = nullptr;
    ICamera* camera_ = nullptr;
    IDispatch* eyeDispatch_ = nullptr;
    IPosition* eye_ = nullptr;
    IFog* fog_ = nullptr;
    IColour* fogColour_ = nullptr;
};

} // namespace sample
