"""Sends a window manager's message to an X window, as the end-to-end scripts
need it:

  window_message.py close WINDOW          asks the window to close, as a close
                                          button does (WM_DELETE_WINDOW)
  window_message.py ping WINDOW SECONDS   asks the program whether it is still
                                          there (_NET_WM_PING) and waits, at
                                          most SECONDS, for its answer; exit
                                          status 1 without one

A program answers a ping when it reads it, after every event that came before
it: the answer says that the program has caught up with its input.
"""
import ctypes
import random
import sys
import time

x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                           ctypes.c_void_p]
x11.XPending.argtypes = [ctypes.c_void_p]
x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

CLIENT_MESSAGE = 33
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class Event(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]


def protocol_message(display, window, protocol, stamp):
    event = Event()
    event.xclient.type = CLIENT_MESSAGE
    event.xclient.window = window
    event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.xclient.format = 32
    event.xclient.data[0] = x11.XInternAtom(display, protocol, 0)
    event.xclient.data[1] = stamp
    event.xclient.data[2] = window
    return event


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in ("close", "ping") or \
            (sys.argv[1] == "ping") != (len(sys.argv) == 4):
        sys.exit(__doc__)
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("cannot open the X display")
    window = int(sys.argv[2])
    if sys.argv[1] == "close":
        event = protocol_message(display, window, b"WM_DELETE_WINDOW", 0)  # CurrentTime
        if not x11.XSendEvent(display, window, 0, 0, ctypes.byref(event)):
            sys.exit("XSendEvent failed")
        x11.XFlush(display)
        x11.XCloseDisplay(display)
        return
    # The answer is sent to the root window; listen there before asking.
    root = x11.XDefaultRootWindow(display)
    x11.XSelectInput(display, root, SUBSTRUCTURE_NOTIFY_MASK)
    stamp = random.randrange(1, 1 << 31)
    ping = protocol_message(display, window, b"_NET_WM_PING", stamp)
    if not x11.XSendEvent(display, window, 0, 0, ctypes.byref(ping)):
        sys.exit("XSendEvent failed")
    x11.XFlush(display)
    deadline = time.monotonic() + float(sys.argv[3])
    answer = Event()
    while time.monotonic() < deadline:
        while x11.XPending(display):
            x11.XNextEvent(display, ctypes.byref(answer))
            if answer.xclient.type == CLIENT_MESSAGE and \
                    answer.xclient.message_type == ping.xclient.message_type and \
                    answer.xclient.data[0] == ping.xclient.data[0] and \
                    answer.xclient.data[1] == stamp:
                x11.XCloseDisplay(display)
                return
        time.sleep(0.002)
    sys.exit("no answer to the ping within %s s" % sys.argv[3])


main()
