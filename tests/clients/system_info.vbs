' The system information from a script client: processor, memory, operating system with
' its version, and the drives, highest letter first.
Option Explicit
Dim failures : failures = 0
Sub Check(ok, what)
    If Not ok Then
        WScript.Echo "FAIL: " & what
        failures = failures + 1
    End If
End Sub

Dim cpu : Set cpu = CreateObject("ZYKSystem.CPU")
Check cpu.Vendor >= -1 And cpu.Vendor <= 2, "vendor " & cpu.Vendor
Check cpu.MMX = 1, "MMX is 1, not True"
Check cpu.ProcessorCount >= 1, "processors " & cpu.ProcessorCount
Check cpu.Family > 0, "family " & cpu.Family
Check cpu.BusType = "" Or Len(cpu.BusType) > 0, "bus type is text"

Dim memory : Set memory = CreateObject("ZYKSystem.Memory")
Check memory.TotalPhysical > 0, "physical memory " & memory.TotalPhysical
Check memory.FreeVirtual > 0, "free virtual memory"

Dim os : Set os = CreateObject("ZYKSystem.OS")
Check Len(os.WinDir) > 0, "Windows folder"
Check Len(os.SysDir) > Len(os.WinDir), "system folder below the Windows folder"
Check Len(os.ComputerName) > 0, "computer name"
Check os.Version.Major >= 4, "major version " & os.Version.Major
Check os.Version.WinType >= 0 And os.Version.WinType <= 9, "kind of Windows"

Dim drives : Set drives = CreateObject("ZYKSystem.Drives")
Check drives.Count >= 1, "at least one drive"
Dim drive, previous, seen, highest
previous = "["
seen = 0
For Each drive In drives
    seen = seen + 1
    If seen = 1 Then highest = drive.Letter
    Check StrComp(previous, drive.Letter, vbBinaryCompare) > 0, "descending letters at " & drive.Letter
    previous = drive.Letter
    Dim letter : letter = drive.Letter
    Check drives.Item(letter).Letter = letter, "found by letter " & letter
Next
Check seen = drives.Count, "the enumerator gives Count drives"
Check drives(1).Letter = highest, "Item(1) is the highest letter"
Check drives("C").Type = 3, "C: is fixed"
Check drives("C").TotalSpace > 0, "C: has a size"

On Error Resume Next
Dim missing : Set missing = drives.Item("c")
Check Err.Number <> 0, "a lower-case letter is not found"
Err.Clear
Set missing = drives.Item(drives.Count + 1)
Check Err.Number <> 0, "a position past the end is not found"
Err.Clear
On Error GoTo 0

If failures = 0 Then WScript.Echo "ok"
