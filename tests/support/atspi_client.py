#!/usr/bin/python3
# A screen reader's or a switch-control tool's view of the program, through AT-SPI: prints the
# name of each button of the page shown, in reading order (those not showing marked
# "caché : "), then presses the one named on the command line. With "--phrase" instead, prints
# the sentence of the message strip ("phrase : ...") and the words of each picture in it
# ("mot : ..."). With "--boutons", prints each button showing as "name|description|x|y", x and y
# its middle on the screen, for a real click there. Exits with 1 when the page or what was
# asked for cannot be found.
import sys
import time

import pyatspi


def page_window():
    for _ in range(150):
        for app in pyatspi.Registry.getDesktop(0):
            if app is None or app.name != "tablavox":
                continue
            for window in app:
                if window is not None and (window.name or "").startswith("Tablavox -::-"):
                    return window
        time.sleep(0.2)
    return None


def of_role(node, role, found):
    for child in node:
        if child is None:
            continue
        if child.getRole() == role:
            found.append(child)
        of_role(child, role, found)
    return found


window = page_window()
if window is None:
    sys.exit(1)
if sys.argv[1:] == ["--phrase"]:
    sentence = [l for l in of_role(window, pyatspi.ROLE_LABEL, []) if l.description == "Phrase"]
    for label in sentence:
        print("phrase : " + label.name)
        strip = label.parent
        for word in of_role(strip, pyatspi.ROLE_LABEL, []):
            if word not in sentence and word.getState().contains(pyatspi.STATE_SHOWING):
                print("mot : " + word.name)
    sys.exit(0 if sentence else 1)
found = of_role(window, pyatspi.ROLE_PUSH_BUTTON, [])
showing = [b for b in found if b.getState().contains(pyatspi.STATE_SHOWING)]
if sys.argv[1:] == ["--boutons"]:
    for button in showing:
        box = button.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        print("%s|%s|%d|%d" % (button.name, button.description or "", box.x + box.width // 2,
                               box.y + box.height // 2))
    sys.exit(0 if showing else 1)
for button in found:
    print(("" if button in showing else "caché : ") + button.name)
wanted = [b for b in showing if b.name == sys.argv[1]] if len(sys.argv) > 1 else []
if len(sys.argv) > 1 and not wanted:
    sys.exit(1)
for button in wanted[:1]:
    button.queryAction().doAction(0)
