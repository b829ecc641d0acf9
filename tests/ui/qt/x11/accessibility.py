"""Drives the window with X key events only and reads it over AT-SPI, as a screen reader does.

Run by the script beside it inside a fresh session bus: accessibility.py QUILLPAD_CONFIG WORKDIR.
Every step is a row: the keys pressed, then what the accessibility tree must show."""
import subprocess
import sys
import time

import pyatspi

app_path, work = sys.argv[1], sys.argv[2]
state_file = work + "/keypad.bin"
failures = []


def fail(message):
    failures.append(message)
    print("accessibility: FAILED: " + message, file=sys.stderr)


def start_bus():
    # Ask for the accessibility bus first, so the program finds it when it starts.
    pyatspi.Registry.getDesktop(0)


def find_app(timeout=20):
    end = time.time() + timeout
    while time.time() < end:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "quillpad-config":
                for window in app:
                    if window is not None and window.name.startswith("Quillpad"):
                        return app, window
        time.sleep(0.2)
    return None, None


def children(node):
    for child in node:
        if child is not None:
            yield child
            yield from children(child)


def states(node):
    return {pyatspi.stateToString(s) for s in node.getState().getStates()}


def by_name(window, name):
    for node in children(window):
        if node.name == name:
            return node
    return None


def by_prefix(window, prefix, role):
    for node in children(window):
        if node.name.startswith(prefix) and node.getRoleName() == role:
            return node
    return None


def focused(window):
    for node in children(window):
        if "focused" in states(node):
            return node.name
    return None


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "60", *names], check=True)
    time.sleep(0.4)


start_bus()
app_process = subprocess.Popen([app_path, "--simulate", state_file],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
try:
    app, window = find_app()
    if window is None:
        print("accessibility: FAILED: the window never appeared on the accessibility bus",
              file=sys.stderr)
        sys.exit(1)
    subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^Quillpad"],
                   check=True, stdout=subprocess.DEVNULL, timeout=20)
    time.sleep(1.5)  # the start-up blink

    # Every control a screen reader user works with has a name and the role it acts as.
    controls = [
        ("Key 1", "radio button"), ("Key 2", "radio button"), ("Key 3", "radio button"),
        ("Key 4", "radio button"), ("Key 5", "radio button"), ("Key 6", "radio button"),
        ("Key 1: Null", "label"), ("Key 2: Null", "label"), ("Key 3: Null", "label"),
        ("Key 4: Null", "label"), ("Key 5: Null", "label"), ("Key 6: Null", "label"),
        ("Key function", "text"), ("Alt", "check box"), ("Ctrl", "check box"),
        ("Windows", "check box"), ("Shift", "check box"), ("Application", "check box"),
        ("MouseLeft", "check box"), ("MouseMiddle", "check box"), ("MouseRight", "check box"),
        ("Back", "push button"), ("Reset", "push button"), ("Next", "push button"),
        ("On-screen keyboard", "push button"), ("Help", "push button"),
        ("OK", "push button"), ("Refresh", "push button"),
    ]
    for name, role in controls:
        node = by_name(window, name)
        if node is None:
            fail("no control named \"%s\"" % name)
        elif node.getRoleName() != role:
            fail("\"%s\" is a %s, not a %s" % (name, node.getRoleName(), role))
    device_list = next((n for n in children(window) if n.getRoleName() == "combo box"), None)
    labels = []
    if device_list is not None:
        for relation in device_list.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                labels += [relation.getTarget(i).name for i in range(relation.getNTargets())]
    if "Device" not in labels:
        fail("the device list is not labelled \"Device\" (labels: %s)" % labels)
    field = by_name(window, "Key function")
    if field is not None and "Tab" not in field.description:
        fail("the key function field does not say how to leave it: %r" % field.description)

    def selected_key():
        return [n.name for n in children(window)
                if n.getRoleName() == "radio button" and "selected" in states(n)]

    # The keyboard-only run: from OK (the focus at start), Tab to the field, Alt+N twice to
    # key 3, Ctrl+F5, Tab out, Tab on to OK and press it with Space.
    steps = [
        # keys, focus afterwards, selected key, key 3's label
        ([], "OK", "Key 1", "Key 3: Null"),
        (["Tab", "Tab", "Tab"], "Key function", "Key 1", "Key 3: Null"),
        (["alt+n", "alt+n"], "Key function", "Key 3", "Key 3: Null"),
        (["ctrl+F5"], "Key function", "Key 3", "Key 3: Ctrl+F5"),
        (["Tab"], "Alt", "Key 3", "Key 3: Ctrl+F5"),
        (["Tab"] * 13, "OK", "Key 3", "Key 3: Ctrl+F5"),
    ]
    for pressed, focus, key, label in steps:
        if pressed:
            keys(*pressed)
        what = " ".join(pressed) or "start"
        if focused(window) != focus:
            fail("after %s the focus is on %r, not %r" % (what, focused(window), focus))
        if selected_key() != [key]:
            fail("after %s the selected key is %s, not %s" % (what, selected_key(), key))
        if by_prefix(window, "Key 3:", "label").name != label:
            fail("after %s key 3 is %r" % (what, by_prefix(window, "Key 3:", "label").name))
    keys("space")
    message = None
    for _ in range(50):
        message = next((n for n in children(app) if n.getRoleName() in ("alert", "dialog")
                        and n.name != window.name), None)
        if message is not None:
            break
        time.sleep(0.1)
    texts = [n.name for n in children(message)] if message is not None else []
    if "Setting successfully !" not in texts:
        fail("OK showed no success message: %s" % texts)
    keys("Return")
    # Xvfb has no window manager to give the focus back when the message closes.
    subprocess.run(["xdotool", "search", "--name", "^Quillpad", "windowfocus", "--sync"],
                   check=True, timeout=20)
    time.sleep(0.3)
    with open(state_file, "rb") as f:
        data = f.read()
    # Key 3 is the keypad's second entry: kind, modifiers, mouse, usage.
    if data[15:19] != bytes([1, 1, 0, 0x3E]):
        fail("the keypad holds %s for key 3, not Ctrl+F5" % data[15:19].hex())
    else:
        print("accessibility: keyboard alone wrote Ctrl+F5 to key 3")

    # Tab, Escape and Alt+F4 are still assignable: Alt+B to key 2, Shift+Tab back to the
    # field, then Enter records the next combination whatever it is.
    keys("alt+b")
    if selected_key() != ["Key 2"]:
        fail("Alt+B selected %s" % selected_key())
    keys(*["shift+Tab"] * 14)
    if focused(window) != "Key function":
        fail("Shift+Tab reached %r, not the field" % focused(window))
    for pressed, shown in (("Tab", "Tab"), ("Escape", "Esc"), ("alt+F4", "Alt+F4")):
        keys("Return", pressed)
        label = by_prefix(window, "Key 2:", "label")
        if label is None or label.name != "Key 2: " + shown:
            fail("%s recorded as %r" % (pressed, label.name if label else None))
        if app_process.poll() is not None or focused(window) != "Key function":
            fail("%s left the field or closed the window" % pressed)
    keys("Tab")
    if focused(window) != "Alt":
        fail("Tab after the recording did not leave the field")
finally:
    app_process.terminate()
    app_process.wait(timeout=10)

if failures:
    sys.exit(1)
print("accessibility: names, roles, the selected key and the keyboard-only run are right")
