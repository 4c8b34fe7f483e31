#!/usr/bin/env python3
"""Signs a thin Mach-O file ad hoc, in place, as iOS 6 to 8 kernels accept it.

The signature is a SuperBlob holding a CodeDirectory of SHA-1 hashes of every 4 KiB page of the
file up to the signature (those kernels accept no other hash type or page size) and an empty
requirements set, laid out as xnu's osfmk/kern/cs_blobs.h describes. The file must already have
an LC_CODE_SIGNATURE command whose data ends the file and its __LINKEDIT segment, as lld leaves it
with -adhoc_codesign: that signature is replaced, and the load command and the segment are sized
to the new one before the pages are hashed.
"""
import argparse
import hashlib
import pathlib
import struct
import sys

MH_MAGIC = 0xFEEDFACE
MH_MAGIC_64 = 0xFEEDFACF
LC_SEGMENT = 0x1
LC_SEGMENT_64 = 0x19
LC_CODE_SIGNATURE = 0x1D

# cs_blobs.h
CSMAGIC_REQUIREMENTS = 0xFADE0C01
CSMAGIC_CODEDIRECTORY = 0xFADE0C02
CSMAGIC_EMBEDDED_SIGNATURE = 0xFADE0CC0
CSSLOT_CODEDIRECTORY = 0
CSSLOT_REQUIREMENTS = 2
CS_SUPPORTSSCATTER = 0x20100  # The version whose header ends with scatterOffset: 48 bytes.
CS_ADHOC = 0x0002
CS_HASHTYPE_SHA1 = 1
PAGE_SHIFT = 12
PAGE_SIZE = 1 << PAGE_SHIFT


def fail(message):
    sys.exit(f"adhoc-sign: {message}")


def load_commands(data):
    """(offset, cmd, cmdsize) of each load command, and whether the file is 64-bit."""
    magic = struct.unpack_from("<I", data)[0]
    if magic not in (MH_MAGIC, MH_MAGIC_64):
        fail("not a thin little-endian Mach-O file")
    is64 = magic == MH_MAGIC_64
    count = struct.unpack_from("<I", data, 16)[0]
    offset = 32 if is64 else 28
    commands = []
    for _ in range(count):
        cmd, size = struct.unpack_from("<II", data, offset)
        commands.append((offset, cmd, size))
        offset += size
    return commands, is64


def code_directory(code, identifier):
    """The CodeDirectory of `code`, with the requirements blob's hash in its special slot 2."""
    requirements = struct.pack(">III", CSMAGIC_REQUIREMENTS, 12, 0)
    special = [hashlib.sha1(requirements).digest(), bytes(20)]  # Slots 2, then 1 (no Info.plist).
    pages = [hashlib.sha1(code[at:at + PAGE_SIZE]).digest() for at in range(0, len(code), PAGE_SIZE)]
    name = identifier.encode() + b"\0"
    header_size = 48
    hash_offset = header_size + len(name) + 20 * len(special)
    length = hash_offset + 20 * len(pages)
    header = struct.pack(">9I4B2I", CSMAGIC_CODEDIRECTORY, length, CS_SUPPORTSSCATTER, CS_ADHOC,
                         hash_offset, header_size, len(special), len(pages), len(code), 20,
                         CS_HASHTYPE_SHA1, 0, PAGE_SHIFT, 0, 0)
    return header + name + b"".join(special) + b"".join(pages), requirements


def super_blob(blobs):
    """The embedded signature holding (slot, blob) pairs, in order."""
    offset = 12 + 8 * len(blobs)
    index = b""
    for slot, blob in blobs:
        index += struct.pack(">II", slot, offset)
        offset += len(blob)
    return struct.pack(">III", CSMAGIC_EMBEDDED_SIGNATURE, offset, len(blobs)) + index + b"".join(
        blob for _, blob in blobs)


def sign(path, identifier):
    data = bytearray(path.read_bytes())
    commands, is64 = load_commands(data)
    signature = [c for c in commands if c[1] == LC_CODE_SIGNATURE]
    segment_cmd = LC_SEGMENT_64 if is64 else LC_SEGMENT
    linkedit = [c for c in commands if c[1] == segment_cmd and data[c[0] + 8:c[0] + 24].rstrip(b"\0")
                == b"__LINKEDIT"]
    if len(signature) != 1 or len(linkedit) != 1:
        fail("needs one LC_CODE_SIGNATURE and one __LINKEDIT segment (link with -adhoc_codesign)")
    at = signature[0][0]
    data_offset, data_size = struct.unpack_from("<II", data, at + 8)
    segment = linkedit[0][0]
    if is64:
        vm_size_at, file_offset_at, file_size_at, field = segment + 32, segment + 40, segment + 48, "<Q"
    else:
        vm_size_at, file_offset_at, file_size_at, field = segment + 28, segment + 32, segment + 36, "<I"
    file_offset = struct.unpack_from(field, data, file_offset_at)[0]
    file_size = struct.unpack_from(field, data, file_size_at)[0]
    if data_offset + data_size != len(data) or file_offset + file_size != len(data):
        fail("the signature must end the file and __LINKEDIT")

    # The blob's size depends only on the number of pages and the name, not on the hashes.
    code_size = data_offset
    directory, requirements = code_directory(bytes(code_size), identifier)
    blob_size = len(super_blob([(CSSLOT_CODEDIRECTORY, directory), (CSSLOT_REQUIREMENTS,
                                                                     requirements)]))
    new_size = (blob_size + 15) // 16 * 16
    struct.pack_into("<I", data, at + 12, new_size)
    new_file_size = data_offset + new_size - file_offset
    struct.pack_into(field, data, file_size_at, new_file_size)
    vm_size = struct.unpack_from(field, data, vm_size_at)[0]
    segment_page = 0x4000 if is64 else 0x1000
    if vm_size < new_file_size:
        struct.pack_into(field, data, vm_size_at, -(-new_file_size // segment_page) * segment_page)

    code = bytes(data[:code_size])
    directory, requirements = code_directory(code, identifier)
    blob = super_blob([(CSSLOT_CODEDIRECTORY, directory), (CSSLOT_REQUIREMENTS, requirements)])
    path.write_bytes(code + blob + bytes(new_size - len(blob)))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--identifier", required=True, help="the signature's identifier")
    parser.add_argument("file", type=pathlib.Path)
    arguments = parser.parse_args()
    sign(arguments.file, arguments.identifier)


if __name__ == "__main__":
    main()
