#!/usr/bin/env python3
"""The rewritten copy of a source holds the same bytes in its literals as g++ makes from the
source itself: literals_sample.cpp is built both ways and the printed bytes compared.

usage: sjis_literals_test.py REWRITER SAMPLE WORK_FOLDER
"""
import os
import shutil
import subprocess
import sys

rewriter, sample, work = sys.argv[1:4]
source_tree = os.path.join(work, "source")
copy_tree = os.path.join(work, "copy")
shutil.rmtree(work, ignore_errors=True)
os.makedirs(source_tree)
shutil.copy(sample, os.path.join(source_tree, "sample.cpp"))
# A file the tree no longer has (moved since the last copy) must leave the copy, or the copy's
# build would compile it beside its new place.
os.makedirs(os.path.join(copy_tree, "gone"))
open(os.path.join(copy_tree, "gone", "moved.cpp"), "w").close()
subprocess.run([sys.executable, rewriter, source_tree, copy_tree], check=True)
if os.path.exists(os.path.join(copy_tree, "gone", "moved.cpp")):
    sys.exit("a file removed from the tree stayed in the copy")


def run(source, *flags):
    binary = source + ".bin"
    subprocess.run(["g++", "-std=c++20", *flags, source, "-o", binary], check=True)
    return subprocess.run([binary], check=True, capture_output=True).stdout.decode()


expected = run(os.path.join(source_tree, "sample.cpp"), "-finput-charset=UTF-8", "-fexec-charset=CP932")
# The copy must not need the conversion: with the literals left as UTF-8 its bytes would differ.
got = run(os.path.join(copy_tree, "sample.cpp"), "-finput-charset=UTF-8", "-fexec-charset=UTF-8")
if got != expected:
    sys.exit("the rewritten literals differ:\n--- g++ -fexec-charset=CP932\n%s--- rewritten copy\n%s" % (expected, got))
if expected.count("\n") != 11 or "plain: 8A BF 8E 9A" not in expected:
    sys.exit("the sample did not print what it should:\n" + expected)
print(expected, end="")
