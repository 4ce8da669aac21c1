#!/usr/bin/env python3
"""pin_package.py over packages as an unlucky packer leaves them. A .deb: members rw------- of
uid 1000, a stale Installed-Size, its data holding what Debian counts apart (an empty file, sizes
either side of 1 KiB, a folder, a symbolic and a hard link). A .tar.gz and a .zip: entries out of
the order of their names, a long name that takes a header of its own, a zip's data descriptors."""

import gzip
import io
import subprocess
import sys
import tarfile
import tempfile
import unittest
import zipfile
from pathlib import Path


def tar_gz(*entries):
    out = io.BytesIO()
    with tarfile.open(fileobj=out, mode="w:gz") as tar:
        for name, kind, content, mode in entries:
            info = tarfile.TarInfo(name)
            info.type, info.mode, info.mtime, info.uid, info.uname = kind, mode, 12345, 1000, "me"
            if kind == tarfile.REGTYPE:
                info.size = len(content)
            else:
                info.linkname = content
            tar.addfile(info, io.BytesIO(content) if kind == tarfile.REGTYPE else None)
    return out.getvalue()


F, CONTROL = tarfile.REGTYPE, b"Package: t\nInstalled-Size: 999\nDescription: t\n"
DATA = tar_gz(("./usr/", tarfile.DIRTYPE, "", 0o755), ("./usr/empty", F, b"", 0o644),
              ("./usr/kib", F, b"k" * 1024, 0o644), ("./usr/more", F, b"m" * 1025, 0o644),
              ("./usr/sym", tarfile.SYMTYPE, "more", 0o777),
              ("./usr/hard", tarfile.LNKTYPE, "./usr/more", 0o644))
MEMBERS = {b"debian-binary": b"2.0\n", b"data.tar.gz": DATA, b"control.tar.gz": tar_gz(
    ("./control", F, CONTROL, 0o644), ("./postinst", F, b"#!/bin/sh\n", 0o755))}
ORDER = [b"debian-binary", b"control.tar.gz", b"data.tar.gz"]


def ar_header(name, uid, mode, size):
    return b"%-16s%-12d%-6d%-6d%-8s%-10d`\n" % (name, 777, uid, uid, mode, size)


def pinned(path, original):
    """The bytes pin_package.py leaves at path, after checking that a second run keeps them."""
    path.write_bytes(original)
    pin = [sys.executable, Path(__file__).with_name("pin_package.py"), path]
    subprocess.run(pin, check=True)
    once = path.read_bytes()
    subprocess.run(pin, check=True)
    assert path.read_bytes() == once, "a second run changed the bytes"
    return once


def tar_entries(raw):
    """Each entry's name, its header blocks and its data, byte for byte."""
    with tarfile.open(fileobj=io.BytesIO(raw)) as tar:
        return [(m.name, raw[m.offset:m.offset_data], tar.extractfile(m).read() if m.isreg()
                 else None) for m in tar]


def zip_entries(raw):
    fields = ("filename", "date_time", "external_attr", "create_system", "compress_type",
              "extra", "flag_bits", "CRC", "compress_size")
    with zipfile.ZipFile(io.BytesIO(raw)) as archive:
        assert archive.testzip() is None
        return [tuple(getattr(info, field) for field in fields) + (archive.read(info),)
                for info in archive.infolist()]


class Unseekable(io.BytesIO):
    """A pipe to zipfile, which then writes data descriptors after the data as cpack does."""
    def seek(self, *args):
        raise OSError


LONG = "p/" + "l" * 120


class PinPackageTest(unittest.TestCase):
    def test_pins_members_and_installed_size(self):
        with tempfile.TemporaryDirectory() as folder:
            deb = Path(folder, "t.deb")
            deb_bytes = pinned(deb, b"!<arch>\n" + b"".join(
                ar_header(n, 1000, b"100600", len(MEMBERS[n])) + MEMBERS[n] + b"\n" *
                (len(MEMBERS[n]) % 2) for n in ORDER))

            at, body = 8, {}
            for name in ORDER:
                size = int(deb_bytes[at + 48:at + 58])
                self.assertEqual(deb_bytes[at:at + 60], ar_header(name, 0, b"100644", size))
                body[name], at = deb_bytes[at + 60:at + 60 + size], at + 60 + size + size % 2
            self.assertEqual(body[b"data.tar.gz"], DATA)
            # The folder 1, empty 0, kib 1, more 2, the symbolic link 1, the hard link 0.
            fields = subprocess.run(["dpkg-deb", "-f", deb], check=True, capture_output=True)
            self.assertEqual(fields.stdout, CONTROL.replace(b"999", b"5"))
            self.assertEqual(body[b"control.tar.gz"][:10], bytes.fromhex("1f8b0800000000000203"))
            with tarfile.open(fileobj=io.BytesIO(body[b"control.tar.gz"])) as tar:
                self.assertEqual([(m.name, m.mode, m.uid, m.uname, m.mtime) for m in tar],
                                 [("./control", 0o644, 0, "root", 12345),
                                  ("./postinst", 0o755, 0, "root", 12345)])

    def test_sorts_a_tar_gz_keeping_each_header(self):
        # Python's default, pax, is cpack's: plain ustar headers until a name is too long.
        original = tar_gz(("p/b", F, b"b" * 600, 0o755), (LONG, F, b"long", 0o600),
                          ("p", tarfile.DIRTYPE, "", 0o755), ("p/a", tarfile.SYMTYPE, "b", 0o777))
        with tempfile.TemporaryDirectory() as folder:
            out = pinned(Path(folder, "t.tar.gz"), original)
        self.assertEqual(out[:10], bytes.fromhex("1f8b0800000000000203"))
        raw, tar = gzip.decompress(original), gzip.decompress(out)
        self.assertEqual(tar_entries(tar), sorted(tar_entries(raw)))
        self.assertEqual(len(tar), len(raw), "the end blocks were not kept")

    def test_sorts_a_zip_keeping_each_entry(self):
        stream = Unseekable()
        with zipfile.ZipFile(stream, "w") as archive:
            for name, when, mode, method in (
                    ("w/b.txt", (2020, 1, 2, 3, 4, 6), 0o100644, zipfile.ZIP_STORED),
                    ("w.properties", (2021, 5, 6, 7, 8, 10), 0o100600, zipfile.ZIP_DEFLATED),
                    ("w/", (2022, 9, 10, 11, 12, 14), 0o40755, zipfile.ZIP_STORED),
                    ("w/a.exe", (2023, 11, 12, 13, 14, 16), 0o100755, zipfile.ZIP_DEFLATED)):
                info = zipfile.ZipInfo(name, when)
                info.external_attr, info.compress_type = mode << 16, method
                info.extra = b"ux\x0b\x00\x01\x04\x00\x00\x00\x00\x04\x00\x00\x00\x00"
                archive.writestr(info, "" if name.endswith("/") else name * 50)
        with tempfile.TemporaryDirectory() as folder:
            out = pinned(Path(folder, "t.zip"), stream.getvalue())
        # In the order of the bytes of the names: "w.properties" before the folder "w/".
        self.assertEqual(zip_entries(out), sorted(zip_entries(stream.getvalue())))
        # zipfile reads by the central directory; a reader of the local headers needs the
        # descriptors, so none may be lost.
        self.assertEqual(len(out), len(stream.getvalue()), "the data descriptors were not kept")


if __name__ == "__main__":
    unittest.main()
