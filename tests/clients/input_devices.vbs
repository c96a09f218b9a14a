' The controller list from a script client: empty until the module handle is put, then
' the mouse and the keyboard in descending name order, each found by name; a controller
' outlives its list.
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

' A controller needs nothing of its list: one taken from a list local to a function, and
' one whose list has listed again, keep answering. (Without a window the call that sets
' a device up fails without a text; the next answers from the device it made.)
Function KeyboardOfAListOfItsOwn()
    Dim own : Set own = CreateObject("ZYKInput.Devices")
    own.hInstance = 4194304
    Set KeyboardOfAListOfItsOwn = own.Item("Keyboard")
End Function
list.hInstance = 4194304
Dim held, buttons
For Each held In Array(KeyboardOfAListOfItsOwn(), keyboard)
    On Error Resume Next
    buttons = held.Attached
    Err.Clear
    buttons = held.Buttons
    Check Err.Number = 0 And buttons > 0, "a controller without its list: " & Hex(Err.Number) & " " & Err.Description
    held.Read
    Check Err.Number = 0, "its Read: " & Hex(Err.Number) & " " & Err.Description
    On Error GoTo 0
Next

If failures = 0 Then WScript.Echo "ok"
