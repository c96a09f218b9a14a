' Sounds from a script client: the drivers listed, a device opened, a WAVE file written by
' the script loaded, played, looped and stopped, and the refusals a script meets.
Option Explicit
Dim failures : failures = 0
Sub Check(ok, what)
    If Not ok Then
        WScript.Echo "FAIL: " & what
        failures = failures + 1
    End If
End Sub

Function Le(value, bytes)
    Dim i, s : s = ""
    For i = 1 To bytes
        s = s & Chr(value Mod 256)
        value = value \ 256
    Next
    Le = s
End Function

Dim list : Set list = CreateObject("ZYKSound.Devices")
Check list.Count >= 1, "at least one sound driver"
Dim device, seen, previous
seen = 0
For Each device In list
    seen = seen + 1
    If seen > 1 Then Check StrComp(previous, device.Name, vbBinaryCompare) > 0, "descending names"
    previous = device.Name
Next
Check seen = list.Count, "the enumerator gives Count drivers"

Set device = list.Item(1)
device.Initialise
Check device.SpeakerType >= 1 And device.SpeakerType <= 6, "speaker type " & device.SpeakerType
Check device.Emulation = 0 Or device.Emulation = 1, "emulation is 0 or 1"

' 8-bit mono at 8000 Hz, half a second, at a level of 192.
Dim fso : Set fso = CreateObject("Scripting.FileSystemObject")
Dim path : path = fso.BuildPath(fso.GetSpecialFolder(2), "script sound.wav")
Dim f : Set f = fso.CreateTextFile(path, True, False)
f.Write "RIFF" & Le(4036, 4) & "WAVEfmt " & Le(16, 4) & Le(1, 2) & Le(1, 2) & Le(8000, 4) & Le(8000, 4) _
    & Le(1, 2) & Le(8, 2) & "data" & Le(4000, 4) & String(4000, Chr(192))
f.Close

' A sound the script keeps after its device was freed went with the device.
Dim kept : Set kept = device.Buffers.Add(path)
device.Free
On Error Resume Next
kept.Play
Check Err.Number = &H80004003, "playing after its device went: " & Hex(Err.Number)
Check InStr(Err.Description, "Buffer Not Initialised.") > 0, "let go: " & Err.Description
Err.Clear
On Error GoTo 0
Set kept = Nothing
device.Initialise

Dim sounds : Set sounds = device.Buffers
Dim s : Set s = sounds.Add(path)
Check sounds.Count = 1, "one sound"
Check sounds(1) Is Nothing = False, "found by position"
s.Volume = 50
Check s.Volume = 50, "volume " & s.Volume
s.Pan = 20000
Check s.Pan = 10000, "pan clamped to " & s.Pan
s.Play 1
Check s.Status = 5, "looping status " & s.Status
s.Stop
Check s.Status = 0, "stopped status " & s.Status

On Error Resume Next
s.Volume = 101
Check Err.Number = &H80004005, "volume 101 refused with " & Hex(Err.Number)
Check InStr(Err.Description, "Volume must be between 0 and 100.") > 0, "refusal text " & Err.Description
Err.Clear
Dim missing : Set missing = sounds.Add(path & ".missing")
Check InStr(Err.Description, "Failed to Load File.") > 0, "missing file: " & Err.Description
Err.Clear
Dim adv : Set adv = s.Advance
Check InStr(Err.Description, "Advanced Settings Not Available.") > 0, "no 3D settings: " & Err.Description
Err.Clear
On Error GoTo 0
Check sounds.Count = 1, "still one sound"
sounds.Clear
Check sounds.Count = 0, "cleared"
fso.DeleteFile path

If failures = 0 Then WScript.Echo "ok"
