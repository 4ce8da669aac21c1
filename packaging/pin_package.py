#!/usr/bin/env python3
"""Rewrites a package that cpack made so that its bytes follow from its content alone:

    pin_package.py PACKAGE.tar.gz|PACKAGE.zip|PACKAGE.deb

cpack 3.25 adds the files of a .tar.gz or a .zip in the order the filesystem lists the staging
folder, which differs between filesystems and even between two ext4s (each hashes names with a
seed of its own). Their entries are put in the order of their names, each with its headers and
data byte for byte as cpack wrote them; the tar is gzipped again without a name or a time.

A .deb's data member is already sorted. Its ar members get mode 100644 and owner 0/0 with their
dates kept, and the control file's Installed-Size is counted from the data member's entries as
Debian's tools count a package tree. The data member is kept byte for byte; control.tar.gz is
written again with its members in their order, names, modes and dates, owned by root, gzipped
without a name or a time.
Run by cmake/package-pin.cmake after each packing.
"""

import gzip
import io
import re
import struct
import sys
import tarfile
import zlib

AR_MAGIC = b"!<arch>\n"


def read_ar(deb):
    if not deb.startswith(AR_MAGIC):
        sys.exit("not an ar archive")
    members, at = [], len(AR_MAGIC)
    while at < len(deb):
        header = deb[at:at + 60]
        name, mtime, size = header[:16].rstrip(b" /"), int(header[16:28]), int(header[48:58])
        members.append((name, mtime, deb[at + 60:at + 60 + size]))
        at += 60 + size + size % 2  # members start on even offsets
    return members


def write_ar(members):
    parts = [AR_MAGIC]
    for name, mtime, body in members:
        parts.append(b"%-16s%-12d0     0     100644  %-10d`\n" % (name, mtime, len(body)))
        parts.append(body + b"\n" * (len(body) % 2))
    return b"".join(parts)


def installed_size(data_tar):
    """KiB as dpkg-gencontrol counts them: each file rounded up, 1 for each folder, link or
    other node; a hard link adds nothing, its content is counted at its first name."""
    total = 0
    with tarfile.open(fileobj=io.BytesIO(data_tar)) as tar:
        for entry in tar:
            if entry.isreg():
                total += (entry.size + 1023) // 1024
            elif not entry.islnk():
                total += 1
    return total


def gzip_n(raw):
    """What gzip -9n writes, spelled out so that no library's header choices (name, time,
    system byte) reach the package."""
    compressor = zlib.compressobj(9, zlib.DEFLATED, -zlib.MAX_WBITS)
    body = compressor.compress(raw) + compressor.flush()
    header = b"\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\x03"
    return header + body + struct.pack("<II", zlib.crc32(raw), len(raw) & 0xFFFFFFFF)


def control_with_size(control_tar_gz, size):
    out = io.BytesIO()
    with tarfile.open(fileobj=io.BytesIO(control_tar_gz), mode="r:gz") as old, \
            tarfile.open(fileobj=out, mode="w", format=tarfile.GNU_FORMAT) as new:
        for entry in old:
            content = old.extractfile(entry).read() if entry.isreg() else None
            if entry.name in ("control", "./control"):
                content, found = re.subn(rb"^Installed-Size: *\d+$",
                                         b"Installed-Size: %d" % size, content, flags=re.M)
                if found != 1:
                    sys.exit("the control file has no Installed-Size")
                entry.size = len(content)
            entry.uid = entry.gid = 0
            entry.uname = entry.gname = "root"
            new.addfile(entry, io.BytesIO(content) if content is not None else None)
    return gzip_n(out.getvalue())


def pinned_deb(deb):
    members = read_ar(deb)
    names = [name for name, _, _ in members]
    data = [body for name, _, body in members if name.startswith(b"data.tar")]
    if b"control.tar.gz" not in names or len(data) != 1:
        sys.exit(f"expected control.tar.gz and one data.tar member, found {names}")
    size = installed_size(data[0])
    return write_ar([(name, mtime, control_with_size(body, size) if name == b"control.tar.gz"
                      else body) for name, mtime, body in members])


def sorted_tar(raw):
    """An uncompressed tar's entries in the order of their names. An entry runs from its first
    header (a pax or long-name header included) to the next entry's, so it moves whole whatever
    the format; the end blocks stay last."""
    with tarfile.open(fileobj=io.BytesIO(raw)) as tar:
        entries = tar.getmembers()
        ends = [entry.offset for entry in entries[1:]] + [tar.offset]
    spans = sorted((entry.name, raw[entry.offset:end]) for entry, end in zip(entries, ends))
    return b"".join(span for _, span in spans) + raw[tar.offset:]


def sorted_zip(raw):
    """A zip's entries in the order of their names. An entry's local part (header, data and the
    data descriptor cpack writes after it) runs up to the next one's, so it moves whole; the
    central directory's records follow in the same order with their offsets moved. Copied, not
    recompressed: another zlib could deflate the same data to other bytes."""
    end = raw.rfind(b"PK\x05\x06")
    count, start = struct.unpack_from("<H4xI", raw, end + 10)
    if count == 0xFFFF or start == 0xFFFFFFFF:
        sys.exit("a zip64 archive, which cpack does not make for this project")
    records, at = [], start
    for _ in range(count):
        name_size, extra_size, comment_size = struct.unpack_from("<HHH", raw, at + 28)
        size = 46 + name_size + extra_size + comment_size
        offset, = struct.unpack_from("<I", raw, at + 42)
        records.append((raw[at + 46:at + 46 + name_size], offset, raw[at:at + size]))
        at += size
    offsets = sorted(offset for _, offset, _ in records)
    local_end = dict(zip(offsets, offsets[1:] + [start]))
    local, central, at = [], [], 0
    for _, offset, record in sorted(records):
        central.append(record[:42] + struct.pack("<I", at) + record[46:])
        local.append(raw[offset:local_end[offset]])
        at += len(local[-1])
    return b"".join(local + central) + raw[end:end + 16] + struct.pack("<I", at) + raw[end + 20:]


PINNED = {".tar.gz": lambda raw: gzip_n(sorted_tar(gzip.decompress(raw))), ".zip": sorted_zip,
          ".deb": pinned_deb}


def pin(path):
    suffix = next((suffix for suffix in PINNED if path.endswith(suffix)), None)
    if suffix is None:
        sys.exit(f"{path}: not a .tar.gz, .zip or .deb")
    with open(path, "rb") as f:
        pinned = PINNED[suffix](f.read())
    with open(path, "wb") as f:
        f.write(pinned)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    pin(sys.argv[1])
