"""Compares the widget's panel as Windows draws it with the same panel on Linux: every
caption box must hold as much text on Windows, line for line, as on Linux, where the
layout's boxes were measured. Both are screenshots of the 207 × 331 window.
    compare_panels.py WINDOWS.png LINUX.png
"""
import subprocess
import sys

# The caption boxes in window pixels at 96 dpi (the panel stands at 3, 76).
BOXES = {
    "txtTitle": (10, 35, 188, 17),
    "txtDateTime": (10, 53, 188, 17),
    "txtTemp": (74, 82, 61, 18),
    "txtWTemp": (74, 104, 61, 18),
    "txtWSpeed": (74, 127, 90, 18),
    "Label2": (6, 150, 75, 18),
    "txtCond": (84, 150, 114, 41),
    "txtDay1": (5, 195, 191, 20),
    "txtDay2": (6, 217, 191, 40),
}
# One character of the panel's monospaced face, and a little: a digit more or less in a
# time or a temperature read a moment apart.
SLACK = 8


def ink(image, box):
    """The text's extent in `box`: (left, top, width, height), or None when blank."""
    x, y, w, h = box
    out = subprocess.run(
        ["convert", image, "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-fuzz", "25%",
         "-trim", "-format", "%w %h %X %Y", "info:"],
        capture_output=True, text=True, check=True).stdout.split()
    width, height = int(out[0]), int(out[1])
    if width <= 1 and height <= 1:
        return None
    left, top = (int(value) for value in out[2:4])
    return left, top, width, height


failures = []
for name, box in BOXES.items():
    windows, linux = ink(sys.argv[1], box), ink(sys.argv[2], box)
    print(f"{name}: Windows {windows}, Linux {linux}")
    if linux is None:
        continue
    if windows is None:
        failures.append(f"{name} is blank on Windows")
        continue
    if windows[0] + windows[2] < linux[0] + linux[2] - SLACK:
        failures.append(f"{name} ends {linux[0] + linux[2] - windows[0] - windows[2]} px short")
    if abs(windows[3] - linux[3]) > 4 or abs(windows[1] - linux[1]) > 4:
        failures.append(f"{name} holds other lines on Windows")
for failure in failures:
    print(failure, file=sys.stderr)
sys.exit(1 if failures else 0)
