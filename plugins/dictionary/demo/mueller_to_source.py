#!/usr/bin/env python3
"""Turns the English-Russian Mueller dictionary (Debian package mueller7-dict,
dictd format, GPL 2 or later) around into the dictionary builder's source text:
one Russian headword per record, its article the Russian words close to it in
meaning and the English words it translates, each with its part of speech, its
labels and the whole Russian sense line.

    mueller_to_source.py [DICT.dz] OUT.txt

The output is Windows-1251 text in the builder's source format (see
plugins/dictionary/README.md): a line "@@ HEADWORD" opens a record, the lines
up to the next such line are its article.
"""
import gzip
import re
import sys
from collections import defaultdict

DEFAULT_DICT = "/usr/share/dictd/mueller7.dict.dz"
MAX_HEADWORD = 24          # bytes of a headword in the word file
MAX_SENSES = 30            # English lines per article
MAX_NEIGHBOURS = 24        # words listed as close in meaning
MAX_SENSE_TEXT = 240       # characters of one quoted sense line

# Part-of-speech marks of the source and how the article names them.
POS = {"n": "сущ.", "v": "гл.", "a": "прил.", "adv": "нареч.", "prep": "предлог", "cj": "союз",
       "conj": "союз", "pron": "мест.", "interj": "межд.", "num": "числ.", "n-card": "числ.",
       "n-ord": "числ."}
# Grammatical marks that are labels, not a part of speech.
GRAMMAR = {"pl": "мн. ч.", "attr": "в знач. опр.", "predic": "предик.", "pass": "страд.", "refl": "возвр.",
           "pf": "сов.", "impers": "безл."}

RUSSIAN_TERM = re.compile(r"^[а-яё][а-яё\- ]*[а-яё]$|^[а-яё]$")
LABEL = re.compile(r"_([\w\-]+)\.")
# Numbered senses; lettered sub-senses (а), б)) stay with the phrase they explain.
SENSE_MARK = re.compile(r"(?:(?<=\s)|^)(\d+\.|\d+\))\s")
TRANSCRIPTION = re.compile(r"\[[^\]]*\]")
PARENS = re.compile(r"\([^)]*\)")
ROMAN = re.compile(r"(?:(?<=\s)|^)_(?:I|II|III|IV|V|VI)\b")


def entries(text):
    """(headword, body) for every entry of the dictd text."""
    head, body = None, []
    for line in text.split("\n"):
        if line and not line[0].isspace():
            if head is not None:
                yield head, " ".join(body)
            head, body = line.strip(), []
        elif head is not None:
            body.append(line.strip())
    if head is not None:
        yield head, " ".join(body)


def labels_of(text):
    """The labels of a sense (_разг., _тех.) and its part of speech, if any."""
    pos, labels = None, []
    for mark in LABEL.findall(text):
        if mark in POS:
            pos = POS[mark]
        elif mark in GRAMMAR:
            labels.append(GRAMMAR[mark])
        elif re.match(r"^[а-яё]", mark):
            labels.append(mark + ".")
    return pos, labels


def russian_terms(sense):
    """The Russian words of a sense line: the comma- and semicolon-separated
    parts that are Cyrillic alone, without their remarks in brackets, up to
    the first English example."""
    plain = LABEL.sub(" ", sense)
    found = []
    for segment in plain.split(";"):
        bare = PARENS.sub(" ", segment)
        if re.search(r"[A-Za-z]", bare):
            break  # the examples and idioms that follow the translations
        for part in bare.split(","):
            term = " ".join(part.split()).strip(" .!?\"'").lower()
            if term and RUSSIAN_TERM.match(term) and len(term.encode("cp1251")) <= MAX_HEADWORD:
                found.append(term)
    return found


def clean_sense(sense):
    text = LABEL.sub(" ", sense)  # the labels stand beside the English word
    text = " ".join(text.split())
    if len(text) > MAX_SENSE_TEXT:
        text = text[:MAX_SENSE_TEXT].rsplit(" ", 1)[0] + " ..."
    return text


def senses(body):
    """(part of speech, sense text) for every numbered or single sense."""
    body = ROMAN.sub(" ", TRANSCRIPTION.sub(" ", body))
    pieces = SENSE_MARK.split(" " + body)
    pos = None
    # pieces: text, mark, text, mark, text ...
    texts = [pieces[0]] + [pieces[i + 1] for i in range(1, len(pieces) - 1, 2)]
    for text in texts:
        p, _ = labels_of(text)
        if p:
            pos = p
        if re.search(r"[а-яё]", text):
            yield pos, text


def encodable(text):
    return text.encode("cp1251", errors="replace").decode("cp1251")


def main(argv):
    src = argv[1] if len(argv) > 2 else DEFAULT_DICT
    out = argv[-1]
    with gzip.open(src, "rt", encoding="utf-8", errors="replace") as f:
        text = f.read()

    lines = defaultdict(list)        # Russian word -> its English lines
    neighbours = defaultdict(dict)   # Russian word -> close words, in order
    for head, body in entries(text):
        if head.startswith("00-") or head.startswith("_") or not re.search(r"[A-Za-z]", head):
            continue
        for pos, sense in senses(body):
            terms = russian_terms(sense)
            if not terms:
                continue
            _, labels = labels_of(sense)
            tag = ", ".join(([pos] if pos else []) + labels)
            line = f"{head} ({tag}) — {clean_sense(sense)}" if tag else f"{head} — {clean_sense(sense)}"
            line = encodable(line)
            for term in dict.fromkeys(terms):
                if len(lines[term]) < MAX_SENSES and line not in lines[term]:
                    lines[term].append(line)
                for other in terms:
                    if other != term and other.count(" ") < 2:
                        neighbours[term].setdefault(other, None)

    with open(out, "w", encoding="cp1251", errors="replace", newline="\n") as f:
        f.write("# Russian headwords from the Mueller English-Russian dictionary, 7th edition\n")
        f.write("# (electronic version S. Starostin, E. S. Cymbalyuk; GNU GPL 2 or later).\n")
        for term in sorted(lines):
            f.write(f"@@ {term}\n")
            close = [w for w in neighbours[term] if w != term][:MAX_NEIGHBOURS]
            if close:
                f.write("Близкие по смыслу: " + ", ".join(close) + ".\n\n")
            f.write("Английские соответствия:\n")
            for line in lines[term]:
                f.write("  " + line + "\n")
    print(f"mueller_to_source: {len(lines)} Russian headwords -> {out}")


if __name__ == "__main__":
    main(sys.argv)
