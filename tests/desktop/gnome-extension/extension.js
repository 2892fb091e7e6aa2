// Turns on the shell's unsafe mode while enabled, so that org.gnome.Shell.Eval answers the
// tests; only ever installed into a test's scratch home.
class Extension {
    enable() {
        global.context.unsafe_mode = true;
    }

    disable() {
        global.context.unsafe_mode = false;
    }
}

function init() {
    return new Extension();
}
