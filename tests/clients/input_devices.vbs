' The controller list from a script client: empty until the module handle is put, then
' the mouse and the keyboard in descending name order, each found by name.
Option Explicit
Dim failures : failures = 0
Sub Check(ok, what)
    If Not ok Then
        WScript.Echo "FAIL: " & what
        failures = failures + 1
    End If
End Sub

Dim list : Set list = CreateObject("ZYKInput.Devices")
Check list.Count = 0, "empty before hInstance"
list.hInstance = 0
Check list.Count = 0, "a failed DirectInput leaves the list empty"

list.hInstance = 4194304
Dim device, seen, previous
seen = 0
previous = ""
For Each device In list
    seen = seen + 1
    If seen > 1 Then Check StrComp(previous, device.Name, vbBinaryCompare) > 0, "descending names"
    previous = device.Name
    Check list.Item(device.Name).ProductName = device.ProductName, "found by name"
Next
Check seen = list.Count, "the enumerator gives Count devices"
If list.Count > 0 Then Check list.Item(1).Name = "Mouse", "Mouse first"

Dim keyboard : Set keyboard = list.Item("Keyboard")
Check keyboard.Type = 1027, "keyboard type " & keyboard.Type
keyboard.Read
Check keyboard.ButtonPressed(0) = 0, "no keyboard buttons"

If failures = 0 Then WScript.Echo "ok"
