// A JScript client on the window its host made (the handle is the script's argument):
// Enumerator walks every collection of every server and yields Count members; Add members
// work as statements; a collection held in a variable answers c(key) as c.Item(key); and
// no call reads the error text an earlier call left.
var failures = 0;
function check(ok, what) {
    if (!ok) {
        WScript.Echo("FAIL: " + what);
        failures++;
    }
}
function walk(list, what) {
    var n = 0;
    for (var e = new Enumerator(list); !e.atEnd(); e.moveNext()) {
        check(typeof e.item() == "object", what + ": member " + (n + 1) + " is an object");
        n++;
    }
    check(n == list.Count, what + ": " + n + " members for a Count of " + list.Count);
}
// The error a call raises: its number (unsigned) and text, or null.
function raised(call) {
    try {
        call();
    } catch (x) {
        return { number: x.number >>> 0, text: x.description };
    }
    return null;
}
function sameFailure(list, what) {
    var byCall = raised(function () { return list("nope"); });
    var byItem = raised(function () { return list.Item("nope"); });
    check(byCall != null && byItem != null, what + ": c(\"nope\") and c.Item(\"nope\") fail");
    if (byCall && byItem)
        check(byCall.number == byItem.number && byCall.text == byItem.text,
              what + ": c(\"nope\") " + byCall.number.toString(16) + " [" + byCall.text + "] against c.Item " +
                  byItem.number.toString(16) + " [" + byItem.text + "]");
}

// zyk3D: every collection of an initialised device, filled through statements.
var d = new ActiveXObject("zyk3D.Device3D");
d.Window = parseInt(WScript.Arguments(0), 10);
d.Initialise(0, 64, 64);
d.Cameras.Add("second");
d.Lights.Add(1, 0, 0, 0, 1, 1, 1, 1, 1, 0.5, 1, 10);
d.Objects.Add("thing", true);
var o = d.Objects("thing");
o.Points.Add(1, 2, 3);
d.SimpleObjects.AddTeapot("pot");
d.Sprites.Add("sprite", 1, 0, 1);
d.Textures.Add();
check(d.Cameras.Count == 2 && d.Objects.Count == 1 && o.Points.Count == 1 && d.Sprites.Count == 1,
      "statement Adds filed their members");
var lists = { Cameras: d.Cameras, Lights: d.Lights, Objects: d.Objects, SimpleObjects: d.SimpleObjects,
              Sprites: d.Sprites, Textures: d.Textures, TextureFormats: d.TextureFormats, Points: o.Points,
              Parts: o.Parts, "zyk3D Devices": new ActiveXObject("zyk3D.Devices") };
for (var name in lists) walk(lists[name], name);
sameFailure(d.Cameras, "Cameras");

// A load that fails inside a call that succeeds leaves nothing for the next failure.
d.Objects.LoadFile("missing.x", "a");
var after = raised(function () { return d.Objects("nope"); });
check(after != null && after.text == "", "Objects(\"nope\") after a load that failed: [" + (after ? after.text : "") + "]");
d.Free();

// zykGFX, zykINPUT, zykSOUND and zykSYSTEM.
var gfx = new ActiveXObject("ZYKGFX.Devices");
walk(gfx, "zykGFX Devices");
var adapter = gfx.Item(1);
adapter.Initialise(0, 0, 0, false, true);
walk(adapter.Modes, "zykGFX Modes");
walk(adapter.Objects, "zykGFX Objects");
sameFailure(adapter.Modes, "zykGFX Modes");
adapter.Free();
var input = new ActiveXObject("ZYKInput.Devices");
input.hInstance = 4194304;
walk(input, "zykINPUT Devices");
var sounds = new ActiveXObject("ZYKSound.Devices");
walk(sounds, "zykSOUND Devices");
var sound = sounds.Item(1);
sound.Initialise();
walk(sound.Buffers, "zykSOUND Buffers");
sameFailure(sound.Buffers, "zykSOUND Buffers");
var drives = new ActiveXObject("ZYKSystem.Drives");
walk(drives, "zykSYSTEM Drives");
sameFailure(drives, "zykSYSTEM Drives");

if (failures == 0) WScript.Echo("ok");
WScript.Quit(failures);
