' The 2D adapter list from a script client: every device named and described, quick set-up
' with its modes, hardware and memory, the optional arguments left out, and the failures
' a script meets without a window.
Option Explicit
Dim failures : failures = 0
Sub Check(ok, what)
    If Not ok Then
        WScript.Echo "FAIL: " & what
        failures = failures + 1
    End If
End Sub

Dim list : Set list = CreateObject("ZYKGFX.Devices")
Check list.Count >= 1, "at least one adapter"
Check list.Version.Major = 6, "DirectX version " & list.Version.Major & "." & list.Version.Minor

Dim i, device, previous, seen
previous = ""
seen = 0
For Each device In list
    seen = seen + 1
    Check Len(device.Name) > 0, "adapter " & seen & " has a name"
    Check Len(device.Description) > 0, "adapter " & seen & " has a description"
    If seen > 1 Then Check StrComp(previous, device.Name, vbBinaryCompare) > 0, "descending names"
    previous = device.Name
    Check list.Item(device.Name).Name = device.Name, "found by name"
Next
Check seen = list.Count, "the enumerator gives Count adapters"

For i = 1 To list.Count
    Set device = list(i)
    device.Initialise , , , , True
    Dim modes : Set modes = device.Modes
    Check modes.Count >= 1, "modes of " & device.Name
    Dim m : Set m = modes.Item("Mode0")
    Check m.Width > 0 And m.Height > 0 And m.Depth > 0, "Mode0 " & m.Width & "x" & m.Height & "x" & m.Depth
    Check Len(device.Hardware.Driver) > 0, "driver file of " & device.Name
    Check device.VideoMemory.Total <> 0, "video memory"
    Check device.Caps.RenderInWindow = 1, "renders in a window (1, not True)"
    Check device.DisplayMode.Depth = 32, "the display's depth"
    device.Free
Next

Dim d : Set d = CreateObject("ZYKGFX.Device")
On Error Resume Next
d.Clear
Check Err.Number = &H80004003, "Clear before Initialise: E_POINTER"
Check InStr(Err.Description, "BackSurface Not Initialised.") > 0, "clear text: " & Err.Description
Check Err.Source = "ZYKGFX.Device.1", "error source: " & Err.Source
Err.Clear
d.Flip
Check InStr(Err.Description, "Primary Surface Not Initialised.") > 0, "flip text: " & Err.Description
Err.Clear
Dim objects : Set objects = d.Objects
Check InStr(Err.Description, "Objects Not Initialised.") > 0, "objects text: " & Err.Description
Err.Clear
On Error GoTo 0

Dim colour : Set colour = CreateObject("Gfx.Colour")
colour.Red = 300
Check colour.Red = 44, "the low byte of the red value"
Check colour.Flags = 6, "a new colour's flags"

If failures = 0 Then WScript.Echo "ok"
WScript.Quit failures
