#!/usr/bin/python3
"""Drops files onto an X window as a Linux file manager does: the XDND protocol with
text/uri-list, this program being the drag source.

Usage: xdnd_drop.py WINDOW X Y FILE...
WINDOW is the X window id of the target top-level, X and Y the root point of the drop.
Prints "XDND accepted=0|1 finished=0|1" and exits 0 when the target finished the drop.
"""
import sys
import time
import urllib.parse

from Xlib import X, Xatom, display, protocol


def main():
    if len(sys.argv) < 5:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    target_id = int(sys.argv[1], 0)
    x, y = int(sys.argv[2]), int(sys.argv[3])
    files = sys.argv[4:]
    uris = "".join("file://" + urllib.parse.quote(f) + "\r\n" for f in files).encode()

    d = display.Display()
    root = d.screen().root
    atom = lambda name: d.intern_atom(name)
    aware, selection = atom("XdndAware"), atom("XdndSelection")
    enter, position, status = atom("XdndEnter"), atom("XdndPosition"), atom("XdndStatus")
    drop, finished, leave = atom("XdndDrop"), atom("XdndFinished"), atom("XdndLeave")
    copy, uri_list, targets = atom("XdndActionCopy"), atom("text/uri-list"), atom("TARGETS")

    target = d.create_resource_object("window", target_id)
    prop = target.get_full_property(aware, Xatom.ATOM)
    if not prop:
        print("XDND target-not-aware")
        return 1
    version = min(5, prop.value[0])

    source = root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
    source.set_selection_owner(selection, X.CurrentTime)
    d.sync()

    def send(kind, data):
        event = protocol.event.ClientMessage(window=target, client_type=kind, data=(32, data))
        target.send_event(event)
        d.flush()

    def serve(request):
        reply_property = request.property or request.target
        if request.target == uri_list:
            request.requestor.change_property(reply_property, uri_list, 8, uris)
        elif request.target == targets:
            request.requestor.change_property(reply_property, Xatom.ATOM, 32, [uri_list, targets])
        else:
            reply_property = X.NONE
        notify = protocol.event.SelectionNotify(time=request.time, requestor=request.requestor,
                                                selection=request.selection, target=request.target,
                                                property=reply_property)
        request.requestor.send_event(notify)
        d.flush()

    # Runs the event loop until the predicate sees its event or the time is up.
    def pump(seconds, wanted):
        end = time.time() + seconds
        while time.time() < end:
            while d.pending_events():
                event = d.next_event()
                if event.type == X.SelectionRequest:
                    serve(event)
                elif event.type == X.ClientMessage and wanted(event):
                    return event
            time.sleep(0.01)
        return None

    send(enter, [source.id, version << 24, uri_list, 0, 0])
    accepted = False
    for _ in range(5):
        send(position, [source.id, 0, (x << 16) | y, X.CurrentTime, copy])
        answer = pump(2, lambda e: e.client_type == status)
        if answer and answer.data[1][1] & 1:
            accepted = True
            break
    if not accepted:
        send(leave, [source.id, 0, 0, 0, 0])
        print("XDND accepted=0 finished=0")
        return 1
    send(drop, [source.id, 0, X.CurrentTime, 0, 0])
    done = pump(10, lambda e: e.client_type == finished) is not None
    print("XDND accepted=1 finished=%d" % int(done))
    return 0 if done else 1


if __name__ == "__main__":
    sys.exit(main())
