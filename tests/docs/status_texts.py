#!/usr/bin/env python3
"""Every text the tool can write to its status line (or its start-up and log-off messages) is in
the guide's section "Every status text and what to do".

    status_texts.py [ROOT]      exits 1 and names each text the guide lacks

The texts are read from the sources, not from a list kept beside them: every string literal of
src/ that reads as the start or a piece of an operator's message (a capital letter and a blank, a
"; " tail, or a Z server reason "the Z server ..."/"it ..."). A text built from pieces is found
when each piece of it is in the section. What is not a status text (captions, prompts, tooltips,
commands, failures before the window exists) is excluded below, by file or by text, each with
the reason.
"""
import re
import sys
from pathlib import Path

# Files whose texts never reach the status line.
NOT_STATUS_FILES = {
    "src/ui/ControlTable.h": "captions of the controls and menus",
    "src/ui/Controls.h": "the window's caption",
    "src/ui/RunPlanTip.cpp": "the tooltip of Acquire Z Stack (section How long a run takes)",
    "src/acq/RunEstimate.cpp": "the taskbar button's tooltip (section How long a run takes)",
    "src/acq/RunEstimate.h": "the taskbar button's tooltip",
    "src/zserver/Commands.cpp": "commands sent to the Z server",
    "src/zserver/Commands.h": "commands sent to the Z server",
    "src/win32/MainWindow.cpp": "failures before the window exists (a message box at start)",
    "src/win32/MainWindowLayout.cpp": "failures before the window exists",
    "src/win32/ComApartment.cpp": "failures before the window exists",
    "src/text/Errors.h": "the closed window's own signal, never shown",
    "src/capture/CaptureMethods.h": "comments' examples",
    "src/capture/TaskFront.h": "comments' examples",
    "src/win32/CaptionLayout.h": "the controls' font",
}
# Texts that are not status texts, wherever they are.
NOT_STATUS_TEXTS = {
    # The capture methods' menu items (section Capture methods); only their launch texts are status.
    "Canon EOS Utility", "Canon Remote Capture", "DSLR Remote Pro", "Hardware Trigger",
    "From captureprogpath.txt",
    # Prompt titles and questions (section Option prompts).
    "Capture Key Delay", "Trigger Hold Time", "Fuji Capture Key",
    "Enter delay between changing focus on the window and sending capture key (in msec.)",
    "Enter HW Trigger Hold Time (in msec.)", "Enter Fuji Capture Key: 1 for Space, 2 for Enter",
    # Prefixes of tooltip reasons naming the button, stripped before a reason is shown.
    "Acquire Z Stack: ", "Overflow: ", "Division by zero: ", "Set Bottom", "Set Step Size (um)",
    # The captions of the timing boxes, named in tooltips.
    "Capture Delay (sec.)", "Settle Delay (sec.)", "Period (sec.)",
    # A command sent to the Z server, named in failures as it was sent.
    "Obj Get",
    # The log's header line (section The log view).
    "Planes ",
    # Names inside the run's refusal texts, which are listed whole ("Settle delay too long ...").
    "Settle delay", "Capture delay",
    # The tail of the taskbar button's tooltip while the simulator stands in (section How long a
    # run takes); the status line's own text about it is listed whole.
    "the Z server is the simulator",
    # The reason of the run's power request, which Windows shows in "powercfg /requests".
    "Focura Acquisition is taking a Z stack",
}

LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
# A literal that reads as (a piece of) an operator's message.
MESSAGE = re.compile(r"^(?:[A-Z][A-Za-z-]*[ =]|; [a-z]|the Z server |its? )")


def literals(path: Path):
    for line in path.read_text(encoding="utf-8").splitlines():
        code = line.strip()
        if code.startswith(("#include", "//", "extern \"C\"")):
            continue
        # Drop a trailing comment that holds no quote of its own.
        for match in LITERAL.finditer(line):
            if "//" in line[:match.start()] and line[:match.start()].count('"') % 2 == 0:
                break
            yield match.group(1).encode().decode("unicode_escape")


def status_texts(root: Path):
    found = {}
    for path in sorted((root / "src").rglob("*")):
        relative = path.relative_to(root).as_posix()
        if path.suffix not in (".cpp", ".h") or relative in NOT_STATUS_FILES:
            continue
        if relative == "src/app/WinMain.cpp":
            continue  # failures before the window exists
        for text in literals(path):
            if MESSAGE.match(text) and text not in NOT_STATUS_TEXTS:
                found.setdefault(text, relative)
    return found


def guide_section(root: Path) -> str:
    guide = (root / "docs" / "guide.md").read_text(encoding="utf-8")
    start = guide.index("\n## Every status text and what to do")
    end = guide.find("\n## ", start + 1)
    section = guide[start:end if end > 0 else None]
    # Markdown escapes and the guide's typographic ellipsis do not change the text.
    # A text may be broken across the section's lines.
    return re.sub(r"\s+", " ", section.replace("\\|", "|").replace("\\*", "*"))


def main():
    root = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parents[2])
    section = guide_section(root)
    texts = status_texts(root)
    missing = {t: where for t, where in texts.items() if re.sub(r"\s+", " ", t.strip()) not in section}
    for text, where in sorted(missing.items(), key=lambda item: item[1]):
        print(f"{where}: the guide's status section lacks {text.strip()!r}")
    print(f"{len(texts)} status texts read from src/, {len(missing)} missing from the guide")
    sys.exit(1 if missing or not texts else 0)


if __name__ == "__main__":
    main()
