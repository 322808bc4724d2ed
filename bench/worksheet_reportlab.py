#!/usr/bin/python3
"""Fraction-addition worksheets as a Python user would script them with reportlab.

    worksheet_reportlab.py --versions N --out FILE.pdf [--seed S]

Writes N sets into one A4 PDF, each a problem page followed by its answer page, laid out as
`zubira sheet` lays them out: the title, the subtitle, the boxed date line with the name heading,
then ten numbered problems in one column, every fraction stacked over its bar. bench_batch times
this script against zubira.
"""

import argparse
import os
import random
import subprocess
import sys
import tempfile
from fractions import Fraction

from reportlab.lib.pagesizes import A4
from reportlab.lib.units import mm
from reportlab.pdfbase import pdfmetrics
from reportlab.pdfbase.ttfonts import TTFont
from reportlab.pdfgen import canvas

PROBLEMS = 10
LOW, HIGH = 1, 10  # range of every numerator and denominator

TITLE = "かずの計算"
SUBTITLE = "たしざんのもんだい"
ANSWER_SUFFIX = " (答)"
DATE_LINE = " 　　月　　日　　　時　　分 ～　　　時　　分 "
NAME = "　なまえ "

# Page strings in IPA Mincho, the problems in IPA P Gothic, as zubira prints them.
TEXT_FONT = ("IPAMincho", "ipam.ttf")
EXAM_FONT = ("IPAPGothic", "ipagp.ttf")
FONT_DIRS = ("/usr/share/fonts/opentype/ipafont-mincho", "/usr/share/fonts/opentype/ipafont-gothic",
             "/usr/share/fonts/truetype")

# Places and sizes in millimetres from the top left corner, and points.
TITLE_AT, TITLE_PT = (10, 10), 24
SUBTITLE_AT, SUBTITLE_PT = (10, 36), 12
DATE_AT, DATE_PT = (80, 10), 11
EXAM_PT = 24
MARGIN = 10          # left, right and bottom of the grid
GAP_BELOW_HEAD = 5   # between the subtitle and the first row
NUMBER_GAP = 10      # between "( 1)" and the problem


def find_font(file_name):
    """The path of an IPA font file, from the usual folders or else from fontconfig."""
    for folder in FONT_DIRS:
        path = os.path.join(folder, file_name)
        if os.path.isfile(path):
            return path
    try:
        listing = subprocess.run(["fc-list", ":", "file"], capture_output=True, text=True,
                                 check=True).stdout
    except (OSError, subprocess.CalledProcessError) as e:
        sys.exit(f"worksheet_reportlab: cannot run fc-list: {e}")
    for line in listing.splitlines():
        path = line.split(":", 1)[0].strip()
        if os.path.basename(path) == file_name:
            return path
    sys.exit(f"worksheet_reportlab: font {file_name} not found (install fonts-ipafont)")


def register_fonts():
    for name, file_name in (TEXT_FONT, EXAM_FONT):
        pdfmetrics.registerFont(TTFont(name, find_font(file_name)))


def draw_operand(rng):
    """A fraction whose numerator and denominator are drawn from LOW..HIGH, reduced."""
    return Fraction(rng.randint(LOW, HIGH), rng.randint(LOW, HIGH))


def make_problems(rng):
    """Ten sums; a sum of 1 is drawn again, as zubira's default settings refuse it."""
    problems = []
    while len(problems) < PROBLEMS:
        a, b = draw_operand(rng), draw_operand(rng)
        if a + b != 1:
            problems.append((a, b, a + b))
    return problems


class Page:
    """Drawing in zubira's page coordinates: millimetres, y downwards, text placed by its top."""

    def __init__(self, pdf):
        self.pdf = pdf
        self.height = A4[1]

    def y(self, top_mm):
        return self.height - top_mm * mm

    def text(self, x_mm, top_mm, s, font, size):
        self.pdf.setFont(font, size)
        baseline = top_mm * mm + pdfmetrics.getAscent(font, size)
        self.pdf.drawString(x_mm * mm, self.height - baseline, s)

    def spaced(self, x_mm, top_mm, s, font, size, pitch_mm):
        """Each character at a fixed pitch, as the digits of a problem are set."""
        for i, ch in enumerate(s):
            self.text(x_mm + i * pitch_mm, top_mm, ch, font, size)

    def line(self, x1, y1, x2, y2):
        self.pdf.line(x1 * mm, self.y(y1), x2 * mm, self.y(y2))

    @staticmethod
    def width(s, font, size):
        return pdfmetrics.stringWidth(s, font, size) / mm

    @staticmethod
    def line_height(font, size):
        return (pdfmetrics.getAscent(font, size) - pdfmetrics.getDescent(font, size)) / mm


class Typesetter:
    """Sets values of the exam font: whole numbers on the middle line, fractions stacked."""

    def __init__(self, page):
        self.page = page
        font = EXAM_FONT[0]
        self.pitch = int(Page.width("88", font, EXAM_PT) * 3 / 4)
        self.h = Page.line_height(font, EXAM_PT)

    def sign(self, x, y, s):
        self.page.spaced(x, y + self.h / 2, s, EXAM_FONT[0], EXAM_PT, self.pitch)
        return x + len(s) * self.pitch

    def value(self, v, x, y):
        """Draws v with its left edge at x; returns where the next item starts."""
        p, h = self.pitch, self.h
        if v.denominator == 1:
            t = str(v.numerator)
            self.page.spaced(x, y + h / 2, t, EXAM_FONT[0], EXAM_PT, p)
            return x + len(t) * (p + 1)
        num, den = str(v.numerator), str(v.denominator)
        bar = max(len(num), len(den)) * p
        self.page.spaced(x + (bar - len(num) * p) / 2, y, num, EXAM_FONT[0], EXAM_PT, p)
        self.page.spaced(x + (bar - len(den) * p) / 2, y + h, den, EXAM_FONT[0], EXAM_PT, p)
        x1 = x - p / 4
        x2 = x1 + bar + p / 2
        self.page.line(x1, y + h, x2, y + h)
        return x2 + p / 2


def draw_sheet(page, problems, answers):
    text_font = TEXT_FONT[0]
    page.text(*TITLE_AT, TITLE, text_font, TITLE_PT)
    page.text(*SUBTITLE_AT, SUBTITLE + (ANSWER_SUFFIX if answers else ""), text_font, SUBTITLE_PT)

    # The date line in its box, the name heading below the divider.
    x0, y0 = DATE_AT
    w = Page.width(DATE_LINE, text_font, DATE_PT)
    h = Page.line_height(text_font, DATE_PT)
    page.text(x0, y0 + h / 2, DATE_LINE, text_font, DATE_PT)
    page.text(x0, y0 + 3.5 * h, NAME, text_font, DATE_PT)
    page.pdf.setLineWidth(0.5)
    page.pdf.rect(x0 * mm, page.y(y0 + 6 * h), w * mm, 6 * h * mm)
    page.line(x0, y0 + 2 * h, x0 + w, y0 + 2 * h)

    # One column of rows from below the subtitle to the bottom margin.
    top = max(SUBTITLE_AT[1] + Page.line_height(text_font, SUBTITLE_PT), y0 + 2 * h) + GAP_BELOW_HEAD
    row_h = (A4[1] / mm - MARGIN - top) / len(problems)
    ts = Typesetter(page)
    for k, (a, b, total) in enumerate(problems, start=1):
        y = top + (k - 1) * row_h
        label = f"({k:2d})"
        page.text(MARGIN, y, label, text_font, SUBTITLE_PT)
        x = MARGIN + Page.width(label, text_font, SUBTITLE_PT) + NUMBER_GAP
        if answers:
            ts.value(total, x, y)
            continue
        x = ts.value(a, x, y)
        x = ts.sign(x, y, "＋ ")
        x = ts.value(b, x, y)
        ts.sign(x, y, " =")


def write_pdf(path, versions, seed):
    rng = random.Random(seed)
    folder = os.path.dirname(os.path.abspath(path))
    fd, temp = tempfile.mkstemp(prefix=".worksheet-", suffix=".pdf", dir=folder)
    os.close(fd)
    try:
        pdf = canvas.Canvas(temp, pagesize=A4)
        pdf.setTitle(TITLE)
        page = Page(pdf)
        for _ in range(versions):
            problems = make_problems(rng)
            for answers in (False, True):
                draw_sheet(page, problems, answers)
                pdf.showPage()
        pdf.save()
        # mkstemp makes the file private; give it the mode a plain open() would.
        umask = os.umask(0)
        os.umask(umask)
        os.chmod(temp, 0o666 & ~umask)
        os.replace(temp, path)
    except BaseException:
        os.unlink(temp)
        raise


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--versions", type=int, default=1, help="sets of problems (1..1000)")
    parser.add_argument("--out", required=True, help="the PDF to write")
    parser.add_argument("--seed", type=int, default=None, help="seed of the draws (default: random)")
    args = parser.parse_args(argv)
    if not 1 <= args.versions <= 1000:
        parser.error("--versions needs a number from 1 to 1000")
    register_fonts()
    try:
        write_pdf(args.out, args.versions, args.seed)
    except OSError as e:
        sys.exit(f"worksheet_reportlab: cannot write {args.out}: {e}")


if __name__ == "__main__":
    main()
