#!/usr/bin/env python3
"""Checks the help page: every internal link leads to an id, every section is reachable
from the table of contents, every element is closed, and nothing is loaded from elsewhere
(the page opens from the program's folder, perhaps on a machine without a network).
Usage: check_help_page.py PAGE.html; prints each fault and exits 1 when there is one."""
import html.parser
import re
import sys

VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source", "track", "wbr"}
REMOTE = re.compile(r"^\s*(https?:|//)", re.IGNORECASE)
CSS_URL = re.compile(r"url\(\s*['\"]?\s*(https?:|//)|@import", re.IGNORECASE)


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.faults = []
        self.ids = set()
        self.links = []  # (target id, line)
        self.section_ids = []
        self.open = []
        self.in_nav = False
        self.nav_links = set()

    def fault(self, text):
        self.faults.append(f"line {self.getpos()[0]}: {text}")

    def handle_starttag(self, tag, attrs):
        line = self.getpos()[0]
        values = dict(attrs)
        if tag not in VOID:
            self.open.append((tag, line))
        if tag == "nav":
            self.in_nav = True
        if tag == "script":
            self.fault("a script")
        for name, value in attrs:
            value = value or ""
            if name == "id":
                if value in self.ids:
                    self.fault(f'id "{value}" given twice')
                self.ids.add(value)
            if name in ("src", "href", "srcset", "data", "poster", "action") and REMOTE.match(value):
                self.fault(f'{tag} {name}="{value}" loads from elsewhere')
            if name == "style" and CSS_URL.search(value):
                self.fault(f"{tag} style loads from elsewhere")
            if name.startswith("on"):
                self.fault(f"a script in {tag} {name}")
        href = values.get("href") or ""
        if tag == "a" and href.startswith("#"):
            self.links.append((href[1:], line))
            if self.in_nav:
                self.nav_links.add(href[1:])
        if tag == "h2" and values.get("id"):
            self.section_ids.append(values["id"])
        elif tag == "h2":
            self.fault("a section heading without an id")

    def handle_startendtag(self, tag, attrs):
        # <br/> and the like: no element is left open.
        self.handle_starttag(tag, attrs)
        if tag not in VOID:
            self.open.pop()

    def handle_endtag(self, tag):
        if tag == "nav":
            self.in_nav = False
        if tag in VOID:
            return
        if not self.open or self.open[-1][0] != tag:
            expected = self.open[-1][0] if self.open else "nothing"
            self.fault(f"</{tag}> where </{expected}> was due")
            return
        self.open.pop()

    def handle_data(self, data):
        if self.open and self.open[-1][0] == "style" and CSS_URL.search(data):
            self.fault("the style sheet loads from elsewhere")


def check(text):
    page = Page()
    page.feed(text)
    page.close()
    faults = list(page.faults)
    for tag, line in page.open:
        faults.append(f"line {line}: <{tag}> is never closed")
    for target, line in page.links:
        if target not in page.ids:
            faults.append(f'line {line}: link to "#{target}", which no id names')
    if not page.nav_links:
        faults.append("no table of contents (a nav with links)")
    for section in page.section_ids:
        if section not in page.nav_links and section != "contents":
            faults.append(f'section "{section}" is missing from the table of contents')
    return faults


def main():
    with open(sys.argv[1], encoding="utf-8") as page:
        faults = check(page.read())
    for fault in faults:
        print(f"{sys.argv[1]}: {fault}")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
