"""JotbirdWidgetsDesktop on a private X display: where its windows go, what they show next to
`JotbirdWidgets render`, how they stack, what clicks, keys and the accessibility tree open,
how it follows publishes and the colour scheme, and how it starts and stops.

    desktop_host_test.py BUILD_DIR [CASE...]
"""

import contextlib
import json
import os
import shutil
import signal
import stat
import subprocess
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop_session import Desktop, named, run_cases, wait_for  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
TITLES = ["Buy milk", "Call the garage", "Water the plants", "Pay the rent"]
SIZES = {"small": (170, 170), "medium": (364, 170), "large": (364, 382)}
CASES = []


def case(function):
    CASES.append(function)
    return function


def host_with_notes(desktop, name, *arguments, titles=TITLES, **env):
    environment = desktop.container_env(name, **env)
    desktop.publish(environment, titles)
    host = desktop.start_host(environment, *arguments)
    return environment, host


def register_recorder(desktop, environment):
    """A handler for jotbird-open: links that writes each URL it gets to a file."""
    record = os.path.join(environment["XDG_DATA_HOME"], "opened.txt")
    script = os.path.join(environment["XDG_DATA_HOME"], "recorder.sh")
    with open(script, "w") as f:
        f.write(f'#!/bin/sh\nprintf "%s\\n" "$1" >> "{record}"\n')
    os.chmod(script, 0o755)
    applications = os.path.join(environment["XDG_DATA_HOME"], "applications")
    os.makedirs(applications, exist_ok=True)
    with open(os.path.join(applications, "jotbird-recorder.desktop"), "w") as f:
        f.write("[Desktop Entry]\nType=Application\nName=Recorder\nNoDisplay=true\n"
                f"Exec={script} %u\nMimeType=x-scheme-handler/jotbird-open;\n")
    with open(os.path.join(applications, "mimeapps.list"), "w") as f:
        f.write("[Default Applications]\n"
                "x-scheme-handler/jotbird-open=jotbird-recorder.desktop\n")
    return record


def shown_with_recorder(desktop, name, *arguments, **env):
    """A host with notes, a recording handler for its links, and its one window once drawn."""
    environment, host = host_with_notes(desktop, name, *arguments, **env)
    record = register_recorder(desktop, environment)
    host.lines.frames_until("start")
    window, = desktop.host_windows(host)
    return environment, host, record, window


def focus_window(desktop, window):
    desktop.run(["xdotool", "windowactivate", "--sync", str(window)], check=False)
    desktop.xdotool("windowfocus", "--sync", str(window))


def shown_windows(host):
    return desktop.run(["xdotool", "search", "--onlyvisible", "--pid", str(host.pid)],
                       check=False).stdout.split()


def menu_item(host, window, downs):
    """Opens the window's menu with a right click and takes the item `downs` steps down."""
    before = len(shown_windows(host))
    desktop.xdotool("mousemove", "--window", str(window), "60", "60", "click", "3")
    wait_for(lambda: len(shown_windows(host)) > before, what="the menu")
    time.sleep(0.2)
    for _ in range(downs):
        desktop.xdotool("key", "Down")
    desktop.xdotool("key", "Return")


def opened(record, count, timeout=10):
    def lines():
        if not os.path.exists(record):
            return None
        with open(record) as f:
            got = f.read().split()
        return got if len(got) >= count else None
    return wait_for(lines, timeout, f"{count} URL(s) opened")


def assert_same_picture(desktop, window, environment, family, scale, scheme, name,
                        tolerance=0.005, extra=()):
    shot = desktop.path(f"{name}-window.png")
    rendered = desktop.path(f"{name}-render.png")
    desktop.screenshot(window, shot)
    desktop.render(environment, family, scale, scheme, rendered, *extra)
    differing = desktop.differing_pixels(shot, rendered, rounded_at=scale)
    width, height = SIZES[family]
    assert differing is not None, f"{name}: the window's size differs from render's picture"
    assert differing <= tolerance * width * height * scale * scale, \
        f"{name}: {differing} pixels differ from render"


# -- windows ---------------------------------------------------------------------------------

@case
def windows_sit_at_each_corner_at_scale_1_and_2():
    for scale in (1, 2):
        for corner in ("top-left", "top-right", "bottom-left", "bottom-right"):
            environment, host = host_with_notes(
                desktop, f"corner-{corner}-{scale}", "--family", "medium", "--family=small",
                "--corner", corner, "--margin=30", GDK_SCALE=str(scale))
            frames = host.lines.frames_until("start", 2)
            assert [(f["family"], f["width"], f["height"]) for f in frames] == [
                ("medium", 364 * scale, 170 * scale), ("small", 170 * scale, 170 * scale)], frames
            medium, small = desktop.host_windows(host, 2)
            screen_w, screen_h = 1920 // scale, 1200 // scale
            left = corner.endswith("left")
            top = corner.startswith("top")
            expected = []
            along = 30
            for w, h in ((364, 170), (170, 170)):
                x = 30 if left else screen_w - 30 - w
                y = along if top else screen_h - along - h
                expected.append((x * scale, y * scale, w * scale, h * scale))
                along += h + 16
            got = [desktop.geometry(medium), desktop.geometry(small)]
            assert got == expected, f"{corner} at scale {scale}: {got} != {expected}"
            assert desktop.stop_host(host) == 0


@case
def window_shows_what_render_draws():
    for family, scale, scheme, extra in (("medium", 1, "light", ()), ("large", 2, "dark", ()),
                                         ("small", 2, "light", ()),
                                         ("medium", 2, "dark", ("--legacy",))):
        environment, host = host_with_notes(
            desktop, f"picture-{family}-{scale}-{scheme}", "--family", family, "--scheme",
            scheme, *extra, GDK_SCALE=str(scale))
        host.lines.frames_until("start")
        window, = desktop.host_windows(host)
        time.sleep(0.2)
        assert_same_picture(desktop, window, environment, family, scale, scheme,
                            f"{family}-{scale}-{scheme}{''.join(extra)}", extra=extra)
        assert desktop.stop_host(host) == 0


@case
def a_normal_window_stays_above_the_widget():
    environment, host = host_with_notes(desktop, "stacking", "--margin", "0",
                                        "--corner", "top-left")
    host.lines.frames_until("start")
    widget, = desktop.host_windows(host)
    state = desktop.run(["xprop", "-id", str(widget), "_NET_WM_STATE"]).stdout
    for hint in ("BELOW", "SKIP_TASKBAR", "SKIP_PAGER"):
        assert f"_NET_WM_STATE_{hint}" in state, state
    # On every workspace: openbox says so with the all-desktops number rather than STICKY.
    workspace = desktop.run(["xprop", "-id", str(widget), "_NET_WM_DESKTOP"]).stdout
    assert "_NET_WM_STATE_STICKY" in state or "4294967295" in workspace, (state, workspace)
    assert "_NET_WM_WINDOW_TYPE_NORMAL" in desktop.run(
        ["xprop", "-id", str(widget), "_NET_WM_WINDOW_TYPE"]).stdout
    # Named as the desktop entry is, so that panels and docks find its name.
    assert desktop.run(["xprop", "-id", str(widget), "WM_CLASS"]).stdout.strip() == \
        'WM_CLASS(STRING) = "jotbird-widgets-desktop", "jotbird-widgets-desktop"'
    motif = desktop.run(["xprop", "-id", str(widget), "_MOTIF_WM_HINTS"]).stdout
    assert "0x2, 0x0, 0x0" in motif, f"decorations not turned off: {motif}"
    other = desktop._spawn(["xmessage", "-title", "normal-window", "-geometry", "400x200+0+0",
                            "a normal window"], env=environment, stderr=subprocess.DEVNULL)
    normal = wait_for(lambda: desktop.run(["xdotool", "search", "--onlyvisible", "--name",
                                           "^normal-window$"], check=False).stdout.split(),
                      what="the normal window")[0]

    def stacking():
        ids = desktop.run(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"]).stdout
        order = [int(w, 16) for w in ids.split("#")[1].replace(" ", "").split(",")]
        return order.index(widget) < order.index(int(normal))

    assert wait_for(stacking, what="the widget below the normal window")
    desktop.xdotool("windowraise", str(widget))
    desktop.run(["xdotool", "windowactivate", str(widget)], check=False)
    time.sleep(0.3)
    assert stacking(), "raising the widget put it above a normal window"
    other.terminate()
    assert desktop.stop_host(host) == 0


# -- links -------------------------------------------------------------------------------------

@case
def clicks_open_rows_the_add_button_and_the_header():
    environment, host, record, window = shown_with_recorder(desktop, "clicks")
    # The last two: the margin inside the rounded outline, then its cut-away corner, where a
    # click goes to what lies behind the widget.
    for x, y in ((60, 60), (60, 84), (40, 138), (40, 30), (20, 6), (2, 2)):
        desktop.xdotool("mousemove", "--window", str(window), str(x), str(y), "click", "1")
        time.sleep(0.15)
    assert opened(record, 5) == [
        "jotbird-open://note/note-0", "jotbird-open://note/note-1", "jotbird-open://new",
        "jotbird-open://home", "jotbird-open://home"], open(record).read()
    time.sleep(0.5)
    assert len(open(record).read().split()) == 5, "a click in the cut corner opened a link"
    assert desktop.stop_host(host) == 0


@case
def no_handler_gives_one_line_and_the_host_lives_on():
    environment, host = host_with_notes(desktop, "no-handler")
    host.lines.frames_until("start")
    window, = desktop.host_windows(host)
    desktop.xdotool("mousemove", "--window", str(window), "60", "60", "click", "1")
    line = host.errors.next()
    assert "jotbird-open://note/note-0" in line and line.startswith("JotbirdWidgetsDesktop:"), line
    desktop.publish(environment, ["Still here"])
    assert host.lines.frame()["reason"] == "reload"
    assert host.poll() is None
    assert desktop.stop_host(host) == 0


@case
def keyboard_moves_a_visible_ring_and_opens_links():
    environment, host, record, window = shown_with_recorder(desktop, "keyboard")
    focus_window(desktop, window)
    before = desktop.path("keyboard-before.png")
    desktop.screenshot(window, before)
    desktop.xdotool("key", "--window", str(window), "Tab")
    time.sleep(0.3)
    ring = desktop.path("keyboard-ring.png")
    desktop.screenshot(window, ring)
    assert desktop.differing_pixels(before, ring) > 200, "no focus ring after Tab"
    for keys in (["Return"], ["Tab", "space"], ["shift+Tab", "Return"],
                 ["Tab", "Tab", "Tab", "Return"]):
        for key in keys:
            desktop.xdotool("key", "--window", str(window), key)
            time.sleep(0.1)
    assert opened(record, 4) == [
        "jotbird-open://note/note-0", "jotbird-open://note/note-1",
        "jotbird-open://note/note-0", "jotbird-open://new"], open(record).read()
    assert desktop.stop_host(host) == 0


@case
def keyboard_focus_stays_on_its_note_across_a_publish():
    environment, host, record, window = shown_with_recorder(desktop, "focus-publish", "--family",
                                                            "large")
    focus_window(desktop, window)
    for key in ("Tab", "Tab"):  # the second note
        desktop.xdotool("key", "--window", str(window), key)
        time.sleep(0.1)
    # A note arrives above it: the ring must stay on the same note, not the same place.
    notes = [{"id": "arrived", "title": "Arrived first"}] + [
        {"id": f"note-{i}", "title": title} for i, title in enumerate(TITLES)]
    desktop.run([os.path.join(desktop.bin, "JotbirdWidgetBridge"), "publish"], env=environment,
                input=json.dumps({"schema": 1, "updatedAt": 0, "account": "",
                                  "total": len(notes), "notes": notes}))
    assert host.lines.frame()["reason"] == "reload"
    time.sleep(0.2)
    desktop.xdotool("key", "--window", str(window), "Return")
    assert opened(record, 1) == ["jotbird-open://note/note-1"], open(record).read()
    assert desktop.stop_host(host) == 0


@case
def accessibility_tree_names_the_window_and_every_link():
    environment, host = host_with_notes(desktop, "a11y", "--family", "medium",
                                        NO_AT_BRIDGE="0")
    record = register_recorder(desktop, environment)
    host.lines.frames_until("start")
    desktop.host_windows(host)
    env = dict(environment)
    env.pop("NO_AT_BRIDGE")

    def tree():
        result = subprocess.run(["/usr/bin/python3", os.path.join(HERE, "read_accessibility.py"),
                                 str(host.pid)], env=env, capture_output=True, text=True,
                                timeout=60)
        assert result.returncode == 0, result.stderr
        return result.stdout.splitlines()

    lines = tree()
    assert lines[0] == "window Jotbird", lines
    # The view names its brand for a screen reader, and hides the add mark beside its text.
    assert lines[1:] == [
        "image Jotbird",
        "link Buy milk, 17:00 actions=click", "link Call the garage, 20:00 actions=click",
        "link Water the plants actions=click", "link 记下一件事 actions=click"], lines
    assert opened(record, 1) == ["jotbird-open://note/note-1"]
    # After a publish the tree tells the new notes, and no link is left over.
    desktop.publish(environment, ["Only this one"])
    assert host.lines.frame()["reason"] == "reload"
    assert tree()[1:] == ["image Jotbird", "link Only this one, 17:00 actions=click",
                          "link 记下一件事 actions=click"]
    assert opened(record, 2)[1] == "jotbird-open://new"
    assert desktop.stop_host(host) == 0


@case
def the_host_speaks_the_users_language():
    """The menu and the link names in the session's language: German, then Hebrew."""
    for lang, names, menu in (
            ("de_DE.UTF-8", "link Etwas notieren actions=click",
             ["Klein", "Mittel", "Groß", "Widget hinzufügen…", "Widget entfernen", "Beenden"]),
            ("he_IL.UTF-8", "link לרשום משהו actions=click",
             ["קטן", "בינוני", "גדול", "הוספת וידג׳ט…", "הסרת הווידג׳ט", "יציאה"])):
        environment, host = host_with_notes(desktop, "language-" + lang[:2], "--corner",
                                            "top-left", NO_AT_BRIDGE="0", LC_ALL=lang,
                                            LANG=lang)
        register_recorder(desktop, environment)
        host.lines.frames_until("start")
        window, = desktop.host_windows(host)
        env = dict(environment)
        env.pop("NO_AT_BRIDGE")
        tree = subprocess.run(["/usr/bin/python3", os.path.join(HERE, "read_accessibility.py"),
                               str(host.pid)], env=env, capture_output=True, text=True,
                              timeout=60)
        assert tree.returncode == 0, tree.stderr
        assert tree.stdout.splitlines()[-1] == names, tree.stdout
        desktop.xdotool("mousemove", "--window", str(window), "60", "60", "click", "3")
        shown = subprocess.run(["/usr/bin/python3", os.path.join(HERE, "read_menu.py"),
                                str(host.pid)], env=env, capture_output=True, text=True,
                               timeout=60)
        assert shown.returncode == 0, shown.stderr
        assert shown.stdout.split("\n")[:6] == menu, shown.stdout
        desktop.xdotool("key", "Escape")
        assert desktop.stop_host(host) == 0


@case
def right_click_menu_changes_the_family_and_quits():
    environment, host = host_with_notes(desktop, "menu", "--corner", "top-left")
    host.lines.frames_until("start")
    window, = desktop.host_windows(host)

    def choose(downs):
        # On a row: a link takes only the left button, the menu still comes.
        menu_item(host, window, downs)

    choose(3)
    assert host.lines.frame() == {"family": "large", "reason": "family", "width": 364,
                                  "height": 382}
    wait_for(lambda: desktop.geometry(window) == (24, 24, 364, 382), what="the large size")
    # Past Add Widget… to Quit: Remove Widget is off while this is the only widget.
    choose(5)
    assert host.wait(10) == 0, "Quit did not end the host"


# -- live --------------------------------------------------------------------------------------

@case
def a_publish_redraws_with_the_new_notes():
    environment, host = host_with_notes(desktop, "publish", "--family", "large",
                                        GDK_SCALE="2")
    host.lines.frames_until("start")
    window, = desktop.host_windows(host)
    desktop.publish(environment, ["A note published just now", "And another one"])
    frame = host.lines.frame()
    assert frame == {"family": "large", "reason": "reload", "width": 728, "height": 764}, frame
    time.sleep(0.2)
    assert_same_picture(desktop, window, environment, "large", 2, "light", "published")
    assert desktop.stop_host(host) == 0


@contextlib.contextmanager
def settings_portal(environment, *arguments):
    """The stub settings portal on the test's session bus; lines on its input change the scheme."""
    portal = subprocess.Popen(["/usr/bin/python3", os.path.join(HERE, "stub_settings_portal.py"),
                               *arguments], env=environment, stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE, text=True)
    try:
        assert portal.stdout.readline().strip() == "ready"
        yield portal
    finally:
        portal.stdin.close()
        portal.wait(10)


def host_shown_under_portal(environment):
    host = desktop.start_host(environment)
    host.lines.frames_until("start")
    window, = desktop.host_windows(host)
    time.sleep(0.2)
    return host, window


@case
def scheme_follows_the_settings_portal_both_ways():
    environment = desktop.container_env("portal")
    desktop.publish(environment, TITLES)
    with settings_portal(environment, "0") as portal:
        host, window = host_shown_under_portal(environment)
        assert_same_picture(desktop, window, environment, "medium", 1, "light", "portal-light")
        for value, scheme in ((1, "dark"), (0, "light")):
            portal.stdin.write(f"{value}\n")
            portal.stdin.flush()
            assert host.lines.frame() == {"family": "medium", "reason": "scheme",
                                          "width": 364, "height": 170}
            time.sleep(0.2)
            assert_same_picture(desktop, window, environment, "medium", 1, scheme,
                                f"portal-{scheme}")
        assert desktop.stop_host(host) == 0


@case
def an_older_portal_is_read_with_read():
    environment = desktop.container_env("old-portal")
    desktop.publish(environment, TITLES)
    with settings_portal(environment, "1", "--without-read-one"):
        host, window = host_shown_under_portal(environment)
        assert_same_picture(desktop, window, environment, "medium", 1, "dark", "old-portal")
        assert desktop.stop_host(host) == 0


@case
def without_a_portal_gtk_preference_decides():
    environment = desktop.container_env("gtk-dark")
    settings = os.path.join(environment["XDG_CONFIG_HOME"], "gtk-3.0")
    environment["XDG_CONFIG_HOME"] = desktop.path("gtk-dark", "config")
    settings = os.path.join(environment["XDG_CONFIG_HOME"], "gtk-3.0")
    os.makedirs(settings, exist_ok=True)
    with open(os.path.join(settings, "settings.ini"), "w") as f:
        f.write("[Settings]\ngtk-application-prefer-dark-theme=1\n")
    desktop.publish(environment, TITLES)
    host = desktop.start_host(environment, "--scheme=auto")
    host.lines.frames_until("start")
    window, = desktop.host_windows(host)
    time.sleep(0.2)
    assert_same_picture(desktop, window, environment, "medium", 1, "dark", "gtk-dark")
    assert desktop.stop_host(host) == 0


# -- starting and stopping ---------------------------------------------------------------------

def main_thread_wakeups(host, seconds):
    """How often the host's main thread went to sleep and woke again over `seconds`."""
    def switches():
        with open(f"/proc/{host.pid}/task/{host.pid}/status") as f:
            for line in f:
                if line.startswith("voluntary_ctxt_switches:"):
                    return int(line.split()[1])
    before = switches()
    time.sleep(seconds)
    return switches() - before


@case
def binds_once_the_container_appears_and_again_after_it_is_removed():
    environment = desktop.container_env("late-container")
    container = os.path.join(environment["XDG_DATA_HOME"], "group-containers")
    host = desktop.start_host(environment)
    assert host.lines.frame()["reason"] == "start"
    assert "does not exist yet" in host.errors.next()
    # Waiting for the container is sleeping on inotify: once the start has settled, the main
    # thread does not wake (looking once a second would wake it three times).
    time.sleep(1.0)
    wakeups = main_thread_wakeups(host, 3.0)
    assert wakeups <= 1, f"{wakeups} wakeups while waiting for the container"
    # The host binds as the publish makes the container, often before the publish's own
    # reload request, which is then the reason of the frame that shows the notes.
    desktop.publish(environment, ["First publish"])
    assert host.lines.frame()["reason"] in ("listen", "reload")
    desktop.publish(environment, ["Second publish"])
    assert host.lines.frame()["reason"] == "reload"
    shutil.rmtree(container)
    while "is gone" not in host.errors.next():
        pass
    desktop.publish(environment, ["After the container came back"])
    assert host.lines.frame()["reason"] in ("listen", "reload")
    assert desktop.stop_host(host) == 0


@case
def one_host_per_container():
    environment, host = host_with_notes(desktop, "exclusive")
    host.lines.frames_until("start")
    second = desktop.run([os.path.join(desktop.bin, "JotbirdWidgetsDesktop")], check=False,
                         env=environment)
    assert second.returncode == 3 and "another widget host" in second.stderr, second
    serve = desktop.run([os.path.join(desktop.bin, "JotbirdWidgets"), "serve", "--out",
                         desktop.path("exclusive-out")], check=False, env=environment)
    assert serve.returncode == 1 and "another widget host" in serve.stderr, serve
    assert host.poll() is None
    assert desktop.stop_host(host) == 0


@case
def stop_signals_exit_0_and_remove_the_socket():
    for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        environment, host = host_with_notes(desktop, f"stop-{sig.name}", "--quiet")
        container = os.path.join(environment["XDG_DATA_HOME"], "group-containers",
                                 "group.jotbird.notes")
        socket_file = os.path.join(container, "widget-host.sock")
        desktop.host_windows(host)
        assert stat.S_ISSOCK(os.stat(socket_file).st_mode)
        assert desktop.stop_host(host, sig) == 0, sig.name
        assert not os.path.exists(socket_file), sig.name
        assert host.stdout.read() == b"", "--quiet printed frame lines"


@case
def installed_tree_has_entry_unit_and_finds_its_bundle():
    root = desktop.path("installed")
    env = dict(desktop.env, DESTDIR=root)
    desktop.run(["cmake", "--install", desktop.build, "--prefix", "/usr"], env=env)
    prefix = os.path.join(root, "usr")
    program = os.path.join(prefix, "bin", "JotbirdWidgetsDesktop")
    entry = open(os.path.join(prefix, "share", "applications",
                              "jotbird-widgets-desktop.desktop")).read()
    unit = open(os.path.join(prefix, "lib", "systemd", "user",
                             "jotbird-widgets-desktop.service")).read()
    assert "Exec=/usr/bin/JotbirdWidgetsDesktop\n" in entry, entry
    assert "ExecStart=/usr/bin/JotbirdWidgetsDesktop --quiet\n" in unit, unit
    assert "WantedBy=graphical-session.target" in unit, unit
    # The installed host draws the brand artwork from the installed bundle, as render does.
    environment = desktop.container_env("installed-container")
    desktop.publish(environment, TITLES)
    host = subprocess.Popen([program, "--scheme", "light"], env=environment,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    desktop.children.append(host)
    window, = desktop.host_windows(host)
    time.sleep(0.3)
    assert_same_picture(desktop, window, environment, "medium", 1, "light", "installed")
    assert desktop.stop_host(host) == 0


@case
def the_widget_program_loads_no_toolkit():
    libraries = desktop.run(["ldd", os.path.join(desktop.bin, "JotbirdWidgets")]).stdout
    for toolkit in ("libgtk", "libgdk", "libgtk-layer-shell", "libatk"):
        assert toolkit not in libraries, f"JotbirdWidgets links {toolkit}"


@case
def command_line_errors_and_version():
    program = os.path.join(desktop.bin, "JotbirdWidgetsDesktop")
    for arguments in (["--family", "huge"], ["--corner"], ["--margin=-1"], ["--scheme", "blue"],
                      ["--layer", "top"], ["--legacy=yes"], ["--bogus"]):
        result = desktop.run([program, *arguments], check=False)
        assert result.returncode == 2 and "usage:" in result.stderr, (arguments, result)
        assert result.stdout == "", arguments
    version = desktop.run([program, "--version"])
    assert version.stdout == "JotbirdWidgetsDesktop 1.0.0\n", version.stdout


# -- a widget host people live with -----------------------------------------------------------

ROOT_COLOUR = (0x20, 0xC0, 0x40)


def pixel(png, x, y):
    """The RGB of one pixel of a picture."""
    text = desktop.run(["convert", png, "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"]).stdout
    values = text.splitlines()[1].split("(")[1].split(")")[0].split(",")
    return tuple(int(float(v)) for v in values[:3])


def screen_area(name, x, y, width, height):
    """What the screen shows there, windows and root alike."""
    shot = desktop.path(f"{name}.png")
    desktop.run(["import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}", "+repage",
                 shot])
    return shot


def read_gallery(host, environment, press=None):
    env = dict(environment)
    env.pop("NO_AT_BRIDGE", None)
    result = subprocess.run(["/usr/bin/python3", os.path.join(HERE, "read_gallery.py"),
                             str(host.pid), *([press] if press else [])], env=env,
                            capture_output=True, text=True, timeout=60)
    assert result.returncode == 0, result.stderr
    return result.stdout.splitlines()




MENU_LARGE, MENU_ADD, MENU_REMOVE = 3, 4, 5


@case
def windows_are_rounded_with_what_lies_behind_in_the_corners():
    desktop.run(["xsetroot", "-solid", "#%02x%02x%02x" % ROOT_COLOUR])
    for scale in (1, 2):
        environment, host = host_with_notes(desktop, f"rounded-{scale}", "--family", "medium",
                                            GDK_SCALE=str(scale))
        host.lines.frames_until("start")
        window, = desktop.host_windows(host)
        time.sleep(0.3)
        x, y, width, height = desktop.geometry(window)
        shot = screen_area(f"rounded-{scale}", x, y, width, height)
        rendered = desktop.path(f"rounded-{scale}-render.png")
        desktop.render(environment, "medium", scale, "light", rendered)
        for px, py in ((0, 0), (width - 1, 0), (0, height - 1), (width - 1, height - 1),
                       (2 * scale, 2 * scale)):
            assert pixel(shot, px, py) == ROOT_COLOUR, f"corner {px},{py} at scale {scale}"
        # Just inside the curve, halfway round it (5.9 points in), and along the edges.
        for px, py in ((7 * scale, 7 * scale), (0, height // 2), (width // 2, 0)):
            assert pixel(shot, px, py) == pixel(rendered, px, py), f"{px},{py} at {scale}"
        assert desktop.stop_host(host) == 0


@case
def the_gallery_shows_the_preview_and_adds_the_family_chosen():
    environment, host = host_with_notes(desktop, "gallery", "--family", "medium",
                                        NO_AT_BRIDGE="0")
    host.lines.frames_until("start")
    window, = desktop.host_windows(host)
    started = time.time()
    menu_item(host, window, MENU_ADD)
    lines = read_gallery(host, environment)
    opened_in = time.time() - started
    described = json.loads(desktop.run([os.path.join(desktop.bin, "JotbirdWidgets"), "describe"],
                                       env=environment).stdout)
    assert lines[0] == "window Jotbird Widgets", lines
    assert f"label {described['description']}" in lines, lines
    buttons = {line.split()[1]: [int(n) for n in line.split()[2:]]
               for line in lines if line.startswith("button ")}
    assert list(buttons) == ["Small", "Medium", "Large"], lines
    # Each shows the preview entry as render --preview draws it, at the gallery's size.
    for family, (bx, by, bw, bh) in buttons.items():
        shot = screen_area(f"gallery-{family}", bx, by, bw, bh)
        rendered = desktop.path(f"gallery-{family}-render.png")
        desktop.render(environment, family.lower(), 0.6, "light", rendered, "--preview")
        search = desktop.run(["compare", "-metric", "AE", "-fuzz", "8%", "-subimage-search",
                              shot, rendered, "null:"], check=False).stderr
        w, h = (int(n) for n in desktop.run(["identify", "-format", "%w %h", rendered])
                .stdout.split())
        assert int(float(search.split()[0])) <= 0.01 * w * h, (family, search)
    read_gallery(host, environment, press="Small")
    assert host.lines.frame() == {"family": "small", "reason": "start", "width": 170,
                                  "height": 170}
    medium, small = desktop.host_windows(host, 2)
    assert desktop.geometry(small)[2:] == (170, 170)
    # Escape closes it again.
    menu_item(host, medium, MENU_ADD)
    read_gallery(host, environment)
    desktop.xdotool("key", "Escape")
    wait_for(lambda: not desktop.run(["xdotool", "search", "--onlyvisible", "--name",
                                      "^Jotbird Widgets$"], check=False).stdout.strip(),
             what="the gallery to close")
    assert desktop.stop_host(host) == 0
    print(f"gallery opened and read over AT-SPI in {opened_in:.2f} s")


@case
def dragging_moves_the_widget_and_a_click_still_opens():
    environment, host, record, window = shown_with_recorder(desktop, "drag", "--family",
                                                            "medium")
    before = desktop.geometry(window)
    desktop.xdotool("mousemove", "--window", str(window), "60", "60", "mousedown", "1")
    for _ in range(12):
        desktop.xdotool("mousemove_relative", "--", "-10", "5")
        time.sleep(0.02)
    desktop.xdotool("mouseup", "1")
    wait_for(lambda: desktop.geometry(window)[:2] != before[:2], what="the window to move")
    time.sleep(0.3)
    after = desktop.geometry(window)
    assert abs(after[0] - (before[0] - 120)) <= 2 and abs(after[1] - (before[1] + 60)) <= 2, \
        (before, after)
    time.sleep(0.5)
    assert not os.path.exists(record), "a drag opened a link"
    desktop.xdotool("mousemove", "--window", str(window), "60", "60", "click", "1")
    assert opened(record, 1) == ["jotbird-open://note/note-0"]
    # Alt and an arrow move the focused widget by a step.
    focus_window(desktop, window)
    desktop.xdotool("key", "--window", str(window), "alt+Down")
    wait_for(lambda: desktop.geometry(window)[1] == after[1] + 16, what="a step down")
    assert desktop.stop_host(host) == 0


@case
def widgets_come_back_where_they_were_left():
    environment, host = host_with_notes(desktop, "kept", "--family", "medium", "--family",
                                        "small", NO_AT_BRIDGE="0")
    host.lines.frames_until("start", 2)
    first, second = desktop.host_windows(host, 2)
    menu_item(host, first, MENU_LARGE)
    assert host.lines.frame()["reason"] == "family"
    menu_item(host, first, MENU_ADD)
    read_gallery(host, environment, press="Medium")
    assert host.lines.frame()["family"] == "medium"
    desktop.xdotool("mousemove", "--window", str(first), "100", "200", "mousedown", "1")
    for _ in range(10):
        desktop.xdotool("mousemove_relative", "--", "-30", "10")
        time.sleep(0.02)
    desktop.xdotool("mouseup", "1")
    time.sleep(0.5)
    menu_item(host, second, MENU_REMOVE)
    wait_for(lambda: len(desktop.host_windows(host, 1)) == 2, what="the small widget gone")
    time.sleep(0.3)
    left = sorted(desktop.geometry(w) for w in desktop.host_windows(host, 2))
    assert desktop.stop_host(host) == 0

    again = desktop.start_host(environment)
    assert [(f["family"], f["reason"]) for f in again.lines.frames_until("start", 2)] == [
        ("large", "start"), ("medium", "start")]
    time.sleep(0.3)
    assert sorted(desktop.geometry(w) for w in desktop.host_windows(again, 2)) == left
    settings = os.path.join(environment["XDG_CONFIG_HOME"], "jotbird-widgets", "desktop.ini")
    assert stat.S_IMODE(os.stat(settings).st_mode) == 0o600
    assert desktop.stop_host(again) == 0


@case
def a_malformed_settings_file_gives_the_defaults_and_is_kept_aside():
    environment = desktop.container_env("malformed")
    desktop.publish(environment, TITLES)
    folder = os.path.join(environment["XDG_CONFIG_HOME"], "jotbird-widgets")
    os.makedirs(folder)
    settings = os.path.join(folder, "desktop.ini")
    with open(settings, "w") as f:
        f.write("[Widget 1]\nFamily=enormous\n")
    host = desktop.start_host(environment)
    assert host.lines.frame() == {"family": "medium", "reason": "start", "width": 364,
                                  "height": 170}
    line = host.errors.next()
    assert "is malformed" in line and "desktop.ini.malformed" in line, line
    with open(settings + ".malformed") as f:
        assert f.read() == "[Widget 1]\nFamily=enormous\n"
    assert not os.path.exists(settings)
    assert desktop.stop_host(host) == 0


def main():
    global desktop
    build = os.path.abspath(sys.argv[1])
    desktop = Desktop(build)
    try:
        return run_cases(named(*CASES), sys.argv[2:])
    finally:
        desktop.close()


if __name__ == "__main__":
    sys.exit(main())
