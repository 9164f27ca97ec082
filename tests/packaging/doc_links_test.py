"""Every link between the project's Markdown documents leads somewhere: the file exists and
the #anchor is one of its headings, as a repository's web page makes anchors of them. Text
moves between the README, docs/development.md and docs/performance.md (whose sections the
benchmarks write), and a link left behind fails here.

    doc_links_test.py SOURCE_DIR
"""

import glob
import os
import re
import sys

root = sys.argv[1]
LINK = re.compile(r"\[[^\]]*\]\(([^)\s]+)\)")


def anchors(path):
    """The anchors of a document's headings: lower case, punctuation dropped, spaces as dashes."""
    found = set()
    for line in open(path, encoding="utf-8"):
        heading = re.match(r"#+\s+(.*)", line)
        if heading:
            found.add(re.sub(r"[^\w\- ]", "", heading.group(1).strip().lower()).replace(" ", "-"))
    return found


failures = []
documents = [os.path.join(root, "README.md")] + sorted(glob.glob(os.path.join(root, "docs", "*.md")))
for document in documents:
    text = open(document, encoding="utf-8").read()
    # Code blocks hold commands, not links.
    text = re.sub(r"```.*?```", "", text, flags=re.S)
    for target in LINK.findall(text):
        if re.match(r"[a-z]+:", target):
            continue
        path, _, anchor = target.partition("#")
        linked = os.path.normpath(os.path.join(os.path.dirname(document), path)) if path else document
        where = "%s: %s" % (os.path.relpath(document, root), target)
        if not os.path.exists(linked):
            failures.append(where + ": no such file")
        elif anchor and linked.endswith(".md") and anchor not in anchors(linked):
            failures.append(where + ": no such heading")

for failure in failures:
    print("FAIL: " + failure)
print("%d documents checked" % len(documents))
sys.exit(1 if failures else 0)
