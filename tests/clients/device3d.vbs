' Device3D from a script client with no window of its own: the failures it meets are
' the ones the engine documents, and the omitted optional arguments are accepted.
Option Explicit
Dim failures : failures = 0
Sub Check(ok, what)
    If Not ok Then
        WScript.Echo "FAIL: " & what
        failures = failures + 1
    End If
End Sub

Dim d : Set d = CreateObject("zyk3D.Device3D")
Check d.Status = 0, "a new device is not initialised"
Check d.Cameras.Count = 0, "no camera before Initialise"
Check Not d.Fog Is Nothing, "the fog exists"

On Error Resume Next
d.Initialise 0, 320, 240
Check Err.Number = &H80004005, "Initialise without a window fails with E_FAIL"
Check InStr(Err.Description, "Failed to Obtain a Valid Rendering Window.") > 0, "window text: " & Err.Description
Check Err.Source = "zyk3D.Device3D.1", "error source: " & Err.Source
Err.Clear
d.Resize 10, 10
Check InStr(Err.Description, "Context Not Initialised.") > 0, "resize text: " & Err.Description
Err.Clear
Dim shapes : Set shapes = d.SimpleObjects
shapes.Render
Check InStr(Err.Description, "Device Not Initialised.") > 0, "shapes text: " & Err.Description
Err.Clear
d.Debug 0, 0, 0, "text"
Check Err.Number <> 0, "Debug without a device fails"
Err.Clear
On Error GoTo 0

d.Left = 10
Check d.Left = 10, "rectangle values are stored"
d.Free
Check d.Status = 0, "Free before Initialise"

If failures = 0 Then WScript.Echo "ok"
WScript.Quit failures
