#!/usr/bin/env python3
"""The search index's answers against grep on the visible text of the same pages.

    python3 bench/fulltext_quality.py [DOCS_DIR]   (default Debian's python3.11-doc HTML)

Scans DOCS_DIR/index.html with tamblin-cli into a scratch folder, then for each of 30 words
compares the pages the Search tab lists (the word searched whole) with the pages whose
visible text (tags, script and style taken out, references decoded) holds the word as
`grep -Fwi` finds it. Prints for each word the pages found by both, the misses (grep finds
the page, the search does not) and the extras (the search lists a page grep does not), and
whether every page with the word in its title comes first.
"""
import html.parser
import json
import os
import re
import subprocess
import sys
import tempfile

WORDS = [
    # common
    "the", "function", "class", "return", "module", "import", "string", "list", "error", "file",
    # rare
    "walrus", "asyncio", "zipimport", "tkinter", "pickle", "curses", "mailbox", "ellipsis",
    "coroutine", "decorator",
    # with digits
    "3.11", "utf-8", "2to3", "python3", "sha256", "x86",
    # with punctuation inside
    "os.path", "__init__", "sys.argv", "str.format",
]


class Visible(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.skip = 0
        self.parts = []

    def handle_starttag(self, tag, attrs):
        if tag in ("script", "style"):
            self.skip += 1
        self.parts.append(" ")

    def handle_endtag(self, tag):
        if tag in ("script", "style") and self.skip:
            self.skip -= 1
        self.parts.append(" ")

    def handle_data(self, data):
        if not self.skip:
            self.parts.append(data)


def visible_text(path):
    parser = Visible()
    with open(path, encoding="utf-8", errors="replace") as f:
        parser.feed(f.read())
    return "".join(parser.parts)


def grep_wi(word, text):
    # grep -Fwi: the word with no word character ([[:alnum:]_]) on either side.
    pattern = r"(?<![\w])" + re.escape(word) + r"(?![\w])"
    return re.search(pattern, text, re.IGNORECASE) is not None


def main():
    docs = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/doc/python3.11/html"
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    cli = os.path.join(root, "build", "bin", "tamblin-cli")
    with tempfile.TemporaryDirectory() as work:
        index = os.path.join(work, "site.xo")
        subprocess.run([cli, "scan", os.path.join(docs, "index.html"), "-o", index],
                       check=True, stdout=subprocess.DEVNULL)
        out = subprocess.run(["node", os.path.join(root, "bench", "fulltext_search.js"), index] + WORDS,
                             check=True, capture_output=True, text=True).stdout
        urls = set()
        with open(index, encoding="utf-8", errors="replace") as f:
            for line in f:
                fields = line.split(";")
                if fields[0] == "5":
                    urls.add(fields[3])
        texts = {u: visible_text(os.path.join(docs, u)) for u in urls
                 if os.path.isfile(os.path.join(docs, u))}
        total_truth = total_found = total_miss = total_extra = 0
        order_faults = 0
        for line in out.splitlines():
            answer = json.loads(line)
            word = answer["word"]
            listed = [p["url"] for p in answer["pages"]]
            truth = {u for u, t in texts.items() if grep_wi(word, t)}
            found = set(listed) & set(texts)
            miss = sorted(truth - found)
            extra = sorted(found - truth)
            titled = [p["inTitle"] for p in answer["pages"]]
            first_ok = titled == sorted(titled, reverse=True)
            order_faults += 0 if first_ok else 1
            total_truth += len(truth)
            total_found += len(truth & found)
            total_miss += len(miss)
            total_extra += len(extra)
            print("%-12s grep %4d  found %4d  misses %3d  extras %3d  title hits first: %s%s%s" % (
                word, len(truth), len(truth & found), len(miss), len(extra),
                "yes" if first_ok else "NO",
                ("  misses e.g. " + ", ".join(miss[:3])) if miss else "",
                ("  extras e.g. " + ", ".join(extra[:3])) if extra else ""))
        print("all %d words: grep %d page hits, found %d (%.1f%%), misses %d, extras %d; "
              "title hits not first for %d words" % (
                  len(WORDS), total_truth, total_found,
                  100.0 * total_found / max(1, total_truth), total_miss, total_extra, order_faults))


if __name__ == "__main__":
    main()
