#!/usr/bin/env python3
"""Writes a site of N linked pages into DIR for the scan benchmark.

    python3 bench/gen_site.py DIR [N]   (default 20000)

Page i links to pages 8i+1 .. 8i+8, to its parent, to the home page and to its
neighbour, so every page is reachable and most links lead to pages already seen. Each
page has a title, meta keywords, named anchors with keywords and about 3 KB of text.
"""
import os
import sys

WORDS = ("lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor "
         "incididunt ut labore et dolore magna aliqua").split()


def page(i, n):
    links = [k for k in range(8 * i + 1, 8 * i + 9) if k < n]
    links += [max(0, (i - 1) // 8), 0, (i + 1) % n]
    text = " ".join(WORDS[(i + k) % len(WORDS)] for k in range(60))
    out = ["<html><head><title>Page %d &amp; more</title>" % i,
           '<meta name="keywords" content="topic %d, section %d, common">' % (i, i % 97),
           "</head><body>"]
    for part in range(3):
        out.append('<h2><a name="s%d" keywords="part %d, item %d">Part %d</a></h2>' % (part, part, i, part))
        out.append("<p>%s</p>\n<p>%s</p>" % (text, text))
    out.append("<ul>")
    for k in links:
        out.append('<li><a href="p%d.htm">Page %d</a></li>' % (k, k))
    out.append("</ul></body></html>\n")
    return "\n".join(out)


def main():
    directory = sys.argv[1]
    n = int(sys.argv[2]) if len(sys.argv) > 2 else 20000
    os.makedirs(directory, exist_ok=True)
    for i in range(n):
        with open(os.path.join(directory, "p%d.htm" % i), "w") as f:
            f.write(page(i, n))


if __name__ == "__main__":
    main()
