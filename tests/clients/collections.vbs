' For Each over every collection of every server, from a script client on the window its
' host made (the handle is the script's argument): each enumerator works and yields Count
' members. Then a property get of an object called with an argument, as d.Cameras("Default"),
' reaches the object's default member, and answers an error where there is no object.
Option Explicit
Dim failures : failures = 0
Sub Check(ok, what)
    If Not ok Then
        WScript.Echo "FAIL: " & what
        failures = failures + 1
    End If
End Sub

' Walks the collection and gives the number of members it yielded.
Function Seen(list, what)
    Dim member, n
    n = 0
    For Each member In list
        n = n + 1
        Check IsObject(member), what & ": member " & n & " is an object"
    Next
    Seen = n
End Function

' Walks the collection and compares what it yields with its Count.
Sub Walk(list, what)
    Dim n : n = Seen(list, what)
    Check n = list.Count, what & ": " & n & " members for a Count of " & list.Count
End Sub

' zyk3D: the collections of an initialised device, each with a member where one can be made.
Dim d : Set d = CreateObject("zyk3D.Device3D")
d.Window = CLng(WScript.Arguments(0))
d.Initialise 0, 64, 64
Check d.Status = 1, "the device is ready"
Dim made
Set made = d.Lights.Add(1, 0, 0, 0, 1, 1, 1, 1, 1, 0.5, 1, 10)
Dim o : Set o = d.Objects.Add("thing", True)
Set made = o.Points.Add(1, 2, 3)
Set made = d.SimpleObjects.AddTeapot("pot")
Set made = d.Sprites.Add("sprite", 1, 0, 1)
Set made = d.Textures.Add
Walk d.Cameras, "Cameras"
Walk d.Lights, "Lights"
Walk d.Objects, "Objects"
Walk d.SimpleObjects, "SimpleObjects"
Walk d.Sprites, "Sprites"
Walk d.Textures, "Textures"
Walk d.TextureFormats, "TextureFormats"
Walk o.Points, "Points"
Walk o.Parts, "Parts"
Walk CreateObject("zyk3D.Devices"), "zyk3D Devices"
Check d.Cameras.Count = 1, "one camera"

' A get with an argument reaches the default member of the object it gives...
Check d.Cameras("Default").Name = "Default", "d.Cameras(""Default"") is the camera"
Check d.Objects("thing").Name = "thing", "d.Objects(""thing"") is the object"
' ...and where the device has no such child (after Free) the call is an error, not a crash.
d.Free
Check d.Cameras Is Nothing, "no cameras after Free"
On Error Resume Next
Dim camera : Set camera = d.Cameras("Default")
Check Err.Number = &H80004003, "d.Cameras(""Default"") without cameras: " & Hex(Err.Number)
Err.Clear
Dim caps : Set caps = d.Caps(1)
Check Err.Number = &H80004003, "d.Caps(1) without caps: " & Hex(Err.Number)
Err.Clear
On Error GoTo 0

' zykGFX: the adapters, and the modes and objects of an adapter set up without a window.
Dim gfx : Set gfx = CreateObject("ZYKGFX.Devices")
Walk gfx, "zykGFX Devices"
Dim adapter : Set adapter = gfx.Item(1)
adapter.Initialise , , , , True
Walk adapter.Modes, "zykGFX Modes"
Walk adapter.Objects, "zykGFX Objects"
adapter.Free
' A palette without a DirectDraw palette has no Count to compare with: its 256 entries.
Check Seen(CreateObject("Gfx.Palette"), "zykGFX Palette") = 256, "the 256 colours of a palette"

' zykINPUT, zykSOUND and zykSYSTEM.
Dim input : Set input = CreateObject("ZYKInput.Devices")
Walk input, "zykINPUT Devices (empty)"
input.hInstance = 4194304
Walk input, "zykINPUT Devices"
Dim sounds : Set sounds = CreateObject("ZYKSound.Devices")
Walk sounds, "zykSOUND Devices"
Dim sound : Set sound = sounds.Item(1)
sound.Initialise
Walk sound.Buffers, "zykSOUND Buffers"
Walk CreateObject("ZYKSystem.Drives"), "zykSYSTEM Drives"

If failures = 0 Then WScript.Echo "ok"
WScript.Quit failures
