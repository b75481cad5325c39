#!/usr/bin/env python3
"""Times clicks on the shade button Strennix paints into a window's title bar.

    clicklatency.py LEFT,TOP,RIGHT,BOTTOM CLICKS

The window is the Wine window with that outer rectangle (screen coordinates
of the virtual desktop on $DISPLAY); the buttons have the default geometry,
all six on, so the shade button is the third from the right. Each click is a
real X button press and release through XTest, as xdotool makes them; odd
clicks roll the window up, even ones down. A Wine top-level window is an X
window with the window's outer rectangle, so the action shows as a new
height of that X window: the time is taken from the release (the hook
reports the release) to the first poll, about every millisecond, that sees
the new height. Prints one line per click: "click=N from=H0 to=H1 ms=T".
Exit code 0, 1 when the window did not change within 10 s or was not found.
"""
import ctypes
import sys
import time

POLL_S = 0.001
TIMEOUT_S = 10.0
# Longer than the double-click time, so that the next click is not taken as
# the second half of a double-click on the caption (which maximizes).
PAUSE_S = 0.8
# As xdotool holds the button.
PRESS_S = 0.012
# The default button geometry: slot k's left edge is at width - (k * 16 + 58).
SHADE_SLOT = 3
BUTTON_WIDTH = 16
BUTTON_X_OFFSET = 58
BUTTON_MIDDLE_Y = 13

Window = ctypes.c_ulong
x11 = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = Window
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XQueryTree.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(Window), ctypes.POINTER(Window),
                           ctypes.POINTER(ctypes.POINTER(Window)), ctypes.POINTER(ctypes.c_uint)]
x11.XFree.argtypes = [ctypes.c_void_p]
x11.XGetGeometry.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(Window)] + \
    [ctypes.POINTER(ctypes.c_int)] * 2 + [ctypes.POINTER(ctypes.c_uint)] * 4
x11.XTranslateCoordinates.argtypes = [ctypes.c_void_p, Window, Window, ctypes.c_int, ctypes.c_int,
                                      ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
                                      ctypes.POINTER(Window)]
x11.XFlush.argtypes = [ctypes.c_void_p]
xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                      ctypes.c_ulong]
xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]


def children(display, window):
    root, parent = Window(), Window()
    found = ctypes.POINTER(Window)()
    count = ctypes.c_uint()
    if not x11.XQueryTree(display, window, ctypes.byref(root), ctypes.byref(parent),
                          ctypes.byref(found), ctypes.byref(count)):
        return []
    result = [found[i] for i in range(count.value)]
    if found:
        x11.XFree(found)
    return result


def size(display, window):
    root = Window()
    x, y = ctypes.c_int(), ctypes.c_int()
    width, height, border, depth = (ctypes.c_uint() for _ in range(4))
    x11.XGetGeometry(display, window, ctypes.byref(root), ctypes.byref(x), ctypes.byref(y),
                     ctypes.byref(width), ctypes.byref(height), ctypes.byref(border),
                     ctypes.byref(depth))
    return width.value, height.value


def screen_rect(display, root, window):
    x, y = ctypes.c_int(), ctypes.c_int()
    child = Window()
    x11.XTranslateCoordinates(display, window, root, 0, 0, ctypes.byref(x), ctypes.byref(y),
                              ctypes.byref(child))
    width, height = size(display, window)
    return x.value, y.value, x.value + width, y.value + height


def find_window(display, root, rect):
    pending = [root]
    while pending:
        window = pending.pop()
        if window != root and screen_rect(display, root, window) == rect:
            return window
        pending.extend(children(display, window))
    return None


def click(display, x, y):
    xtst.XTestFakeMotionEvent(display, -1, x, y, 0)
    x11.XFlush(display)
    time.sleep(PAUSE_S / 4)  # the pointer is over the button before the press
    xtst.XTestFakeButtonEvent(display, 1, True, 0)
    x11.XFlush(display)
    time.sleep(PRESS_S)
    xtst.XTestFakeButtonEvent(display, 1, False, 0)
    x11.XFlush(display)
    return time.monotonic()


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    rect = tuple(int(value) for value in argv[1].split(","))
    clicks = int(argv[2])
    display = x11.XOpenDisplay(None)
    root = x11.XDefaultRootWindow(display)
    window = find_window(display, root, rect)
    if window is None:
        print(f"no X window with the rectangle {argv[1]}", file=sys.stderr)
        return 1
    left, top, right, _ = rect
    shade_left = right - (SHADE_SLOT * BUTTON_WIDTH + BUTTON_X_OFFSET)
    for number in range(1, clicks + 1):
        before = size(display, window)[1]
        released = click(display, shade_left + (11 if number % 2 else 5), top + BUTTON_MIDDLE_Y)
        after = before
        while after == before and time.monotonic() - released < TIMEOUT_S:
            time.sleep(POLL_S)
            after = size(display, window)[1]
        elapsed_ms = (time.monotonic() - released) * 1000
        if after == before:
            print(f"click={number} from={before} timed out", flush=True)
            return 1
        print(f"click={number} from={before} to={after} ms={elapsed_ms:.2f}", flush=True)
        time.sleep(PAUSE_S)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
