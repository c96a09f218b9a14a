// The controllers, from the input server's controller list, which the dialog keeps for
// the attached state and the Configure button.
#include "analysis.h"
#include "applet.h"
#include "resource.h"
#include "com/serverbinding.h"
namespace input {
#include "zykINPUT.h"
}

namespace {

input::IDevices* controllerList = nullptr;   // kept while the dialog is open
input::IDevice* currentController = nullptr; // the controller item fetched last

void KeepCurrent(input::IDevice* controller)
{
    if (currentController) currentController->Release();
    currentController = controller;
}

// Keyboards show the keyboard, mice and joysticks the pointer, force feedback its own.
int TypeIcon(long type)
{
    if (type & 1) return IDI_KEYBOARD;
    if (type & 2) return IDI_POINTER;
    return IDI_FEEDBACK;
}

// The controller chosen in the list, made the current one; null when there is none.
input::IDevice* SelectedController(HWND dialog)
{
    if (!controllerList) return nullptr;
    const long position = ChosenPosition(GetDlgItem(dialog, IDC_CONTROLLERS));
    input::IDevice* controller = ItemAt<input::IDevice>(controllerList, position + 1);
    if (controller) KeepCurrent(controller);
    return controller;
}

} // namespace

BOOL ListControllers(HWND dialog)
{
    ReleaseControllers();
    if (FAILED(CoCreateInstance(input::CLSID_Devices, nullptr, CLSCTX_INPROC_SERVER, input::IID_IDevices,
                                reinterpret_cast<void**>(&controllerList)))) {
        controllerList = nullptr;
        MarkNotRegistered(dialog, IDC_CONTROLLERS, {IDC_CONFIGURE, IDC_ATTACHED});
        return FALSE;
    }
    controllerList->put_hInstance(static_cast<long>(reinterpret_cast<LONG_PTR>(Applet().module)));
    FillList<input::IDevice>(GetDlgItem(dialog, IDC_CONTROLLERS), controllerList,
                             [](input::IDevice* controller, auto& text) {
                                 controller->AddRef();
                                 KeepCurrent(controller);
                                 BSTR name = nullptr;
                                 controller->get_ProductName(&name);
                                 TakeText(name, text);
                                 input::Device_Types type = input::Device_Types(0);
                                 controller->get_Type(&type);
                                 return TypeIcon(type);
                             });
    return TRUE;
}

void ShowControllerState(HWND dialog)
{
    if (input::IDevice* controller = SelectedController(dialog)) {
        // The first Attached of a device fails when its exclusive set-up does, and the next
        // answers from the device that the first made: it is asked once more before the
        // state is shown, which is not known only when that fails too.
        short attached = 0;
        bool known = SUCCEEDED(controller->get_Attached(&attached));
        if (!known) known = SUCCEEDED(controller->get_Attached(&attached));
        SetDlgItemTextA(dialog, IDC_ATTACHED, !known ? "Unknown" : attached ? "Attached" : "Disconnected");
    }
}

void ConfigureController(HWND dialog)
{
    if (input::IDevice* controller = SelectedController(dialog)) {
        controller->put_Window(static_cast<long>(reinterpret_cast<LONG_PTR>(dialog)));
        controller->RunControlPanel();
    }
}

void ReleaseControllers()
{
    KeepCurrent(nullptr);
    if (controllerList) controllerList->Release();
    controllerList = nullptr;
}
