#!/usr/bin/env python3
"""Renders the operator's guide into one HTML page that any Windows browser opens.
Usage: render_guide.py CMARK GUIDE.md STYLE.css TITLE OUTPUT.html
Headings get the anchors that the guide's own links use (GitHub's rule: lower case, punctuation
dropped, blanks to hyphens), which cmark-gfm does not write."""
import html
import os
import re
import subprocess
import sys


def slug(text):
    text = html.unescape(re.sub(r"<[^>]+>", "", text)).lower()
    return re.sub(r"[^\w\- ]", "", text).replace(" ", "-")


def main():
    cmark, guide, css, title, out = sys.argv[1:6]
    body = subprocess.run([cmark, "--extension", "table", "--extension", "autolink", "--to",
                           "html", guide], check=True, capture_output=True, text=True).stdout
    body = re.sub(r"<h([1-6])>(.*?)</h\1>",
                  lambda m: f'<h{m[1]} id="{slug(m[2])}">{m[2]}</h{m[1]}>', body)
    with open(css, encoding="utf-8") as f:
        style = f.read()
    page = (f'<!DOCTYPE html>\n<html lang="en">\n<head>\n<meta charset="utf-8">\n'
            f"<title>{html.escape(title)}</title>\n<style>\n{style}</style>\n</head>\n"
            f"<body>\n{body}<hr>\n<p><small>{html.escape(title)}</small></p>\n</body>\n</html>\n")
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    with open(out, "w", encoding="utf-8", newline="\r\n") as f:
        f.write(page)


if __name__ == "__main__":
    main()
