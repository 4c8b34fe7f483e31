#!/usr/bin/env python3
"""Static checks of the device library, build-device/Umbravista.dylib, as iOS 7 would load it.

Reads the Mach-O file with its own parsing (nothing of the signer's) and fails on anything that
would keep it from loading or from behaving on the device: the wrong kind of file, install name or
minimum system; flat namespace or chained fixups (which iOS 7's dyld cannot read); a library or
symbol outside darwin/imports.txt; anything exported; other than one initialiser; thread-local
storage; a missing settings path, any other /var/ path or an environment lookup; a signature
whose SHA-1 page hashes do not verify. Each check is then shown to fail on a copy of the real
file that breaks just what it guards.

Usage: device_library_test.py [LIBRARY] (default build-device/Umbravista.dylib)
"""
import hashlib
import pathlib
import struct
import sys
import unittest

ROOT = pathlib.Path(__file__).resolve().parents[2]
LIBRARY = pathlib.Path(sys.argv.pop(1) if len(sys.argv) > 1 else ROOT / "build-device/Umbravista.dylib")
INSTALL_NAME = "/Library/MobileSubstrate/DynamicLibraries/Umbravista.dylib"
SETTINGS_PATH = b"/var/mobile/Library/Preferences/com.marrowquinte.Umbravista.plist"
ENVIRONMENT_NAMES = (b"getenv", b"environ", b"NSGetEnviron", b"environment")

# mach-o/loader.h
MH_MAGIC_64, CPU_TYPE_ARM64, MH_DYLIB = 0xFEEDFACF, 0x0100000C, 6
MH_TWOLEVEL, MH_FORCE_FLAT, MH_HAS_TLV_DESCRIPTORS = 0x80, 0x100, 0x800000
LC_SEGMENT_64, LC_SYMTAB, LC_ID_DYLIB, LC_CODE_SIGNATURE = 0x19, 0x2, 0xD, 0x1D
LC_VERSION_MIN_IPHONEOS, LC_BUILD_VERSION = 0x25, 0x32
LC_DYLD_INFO, LC_DYLD_INFO_ONLY = 0x22, 0x80000022
LC_DYLD_CHAINED_FIXUPS, LC_DYLD_EXPORTS_TRIE = 0x80000034, 0x80000033
LOAD_COMMANDS = {0xC: "LC_LOAD_DYLIB", 0x80000018: "LC_LOAD_WEAK_DYLIB", 0x8000001F:
                 "LC_REEXPORT_DYLIB", 0x80000023: "LC_LOAD_UPWARD_DYLIB", 0x20: "LC_LAZY_LOAD_DYLIB"}
THREAD_LOCAL_SECTION_TYPES = range(0x11, 0x16)
N_EXT, N_TYPE = 0x01, 0x0E
# cs_blobs.h
CSMAGIC_EMBEDDED_SIGNATURE, CSMAGIC_CODEDIRECTORY = 0xFADE0CC0, 0xFADE0C02
CS_ADHOC, CS_HASHTYPE_SHA1 = 0x2, 1


def allowed_imports():
    """darwin/imports.txt as {install name: {symbol}}, arm64's symbols only."""
    libraries, current = {}, None
    for line in (ROOT / "darwin/imports.txt").read_text().splitlines():
        if not line.strip() or line.startswith("#"):
            continue
        if not line[0].isspace():
            current = libraries.setdefault(line.strip(), set())
        elif line.split()[1:] in ([], ["arm64"]):
            current.add(line.split()[0])
    return libraries


def c_string(data, offset):
    return bytes(data[offset:data.index(b"\0", offset)]).decode("latin-1")


def uleb(data, at):
    value = shift = 0
    while True:
        byte = data[at]
        at += 1
        value |= (byte & 0x7F) << shift
        shift += 7
        if byte < 0x80:
            return value, at


class Library:
    """The parts of a 64-bit Mach-O dylib that the checks read."""

    def __init__(self, data):
        self.data = data
        magic, self.cputype, _, self.filetype, count, _, self.flags = struct.unpack_from(
            "<7I", data)
        if magic != MH_MAGIC_64:
            raise ValueError("not a 64-bit Mach-O file")
        self.commands, self.sections, self.dylibs = [], [], []
        at = 32
        for _ in range(count):
            cmd, size = struct.unpack_from("<II", data, at)
            self.commands.append((cmd, at))
            if cmd == LC_SEGMENT_64:
                for index in range(struct.unpack_from("<I", data, at + 64)[0]):
                    header = at + 72 + 80 * index
                    segment, name = c_string(data, header + 16)[:16], c_string(data, header)[:16]
                    size_, offset = struct.unpack_from("<QI", data, header + 40)
                    flags = struct.unpack_from("<I", data, header + 64)[0]
                    self.sections.append((segment, name, offset, size_, flags))
            if cmd in LOAD_COMMANDS:
                name_offset, _, _, compatibility = struct.unpack_from("<4I", data, at + 8)
                self.dylibs.append((c_string(data, at + name_offset), compatibility))
            at += size

    def command(self, cmd):
        found = [at for c, at in self.commands if c == cmd]
        return found[0] if len(found) == 1 else None

    def section(self, segment, name):
        return next((s for s in self.sections if s[:2] == (segment, name)), None)

    def imports(self):
        """(library ordinal, symbol) of every binding, and the number of weak bindings."""
        at = self.command(LC_DYLD_INFO_ONLY) or self.command(LC_DYLD_INFO)
        info = struct.unpack_from("<10I", self.data, at + 8)
        bound = set()
        for offset, size in ((info[2], info[3]), (info[6], info[7])):
            bound |= self.bindings(offset, size)
        return bound, info[5]

    def bindings(self, offset, size):
        """Walks a bind opcode stream (mach-o/loader.h BIND_OPCODE_*) for its symbols."""
        found, ordinal, symbol, at, end = set(), None, None, offset, offset + size
        while at < end:
            opcode, immediate = self.data[at] & 0xF0, self.data[at] & 0x0F
            at += 1
            if opcode == 0x10:  # SET_DYLIB_ORDINAL_IMM
                ordinal = immediate
            elif opcode == 0x20:  # SET_DYLIB_ORDINAL_ULEB
                ordinal, at = uleb(self.data, at)
            elif opcode == 0x30:  # SET_DYLIB_SPECIAL_IMM: self, the executable or flat lookup
                ordinal = -((0x10 - immediate) & 0xF) if immediate else 0
            elif opcode == 0x40:  # SET_SYMBOL_TRAILING_FLAGS_IMM
                symbol = c_string(self.data, at)
                at += len(symbol) + 1
            elif opcode in (0x60, 0x80, 0xA0):  # SET_ADDEND_SLEB, ADD_ADDR_ULEB, DO_BIND_ADD_ADDR_ULEB
                at = uleb(self.data, at)[1]
            elif opcode == 0x70:  # SET_SEGMENT_AND_OFFSET_ULEB
                at = uleb(self.data, at)[1]
            elif opcode == 0xC0:  # DO_BIND_ULEB_TIMES_SKIPPING_ULEB
                at = uleb(self.data, uleb(self.data, at)[1])[1]
            if opcode in (0x90, 0xA0, 0xB0, 0xC0):  # A DO_BIND of any form.
                found.add((ordinal, symbol))
        return found


def problems(data):
    """The names of the checks that `data` fails, each with what it found."""
    try:
        library = Library(data)
    except (ValueError, struct.error, IndexError) as error:
        return [f"macho: {error}"]
    found = []

    def check(name, ok, detail=""):
        if not ok:
            found.append(f"{name}: {detail}")

    check("macho", library.cputype == CPU_TYPE_ARM64 and library.filetype == MH_DYLIB,
          f"cputype {library.cputype:#x}, filetype {library.filetype}")

    at = library.command(LC_ID_DYLIB)
    name = c_string(data, at + struct.unpack_from("<I", data, at + 8)[0]) if at else None
    check("install-name", name == INSTALL_NAME, f"{name}")

    at = library.command(LC_VERSION_MIN_IPHONEOS)
    minimum = struct.unpack_from("<I", data, at + 8)[0] if at else None
    check("minimum-os", minimum == 0x70000 and library.command(LC_BUILD_VERSION) is None,
          f"LC_VERSION_MIN_IPHONEOS {minimum}")

    check("two-level", library.flags & MH_TWOLEVEL and not library.flags & MH_FORCE_FLAT,
          f"flags {library.flags:#x}")

    chained = [c for c, _ in library.commands if c in (LC_DYLD_CHAINED_FIXUPS, LC_DYLD_EXPORTS_TRIE)]
    info = library.command(LC_DYLD_INFO_ONLY) or library.command(LC_DYLD_INFO)
    check("chained-fixups", not chained and info, f"commands {chained}, dyld info {info}")

    allowed = allowed_imports()
    for dylib, compatibility in library.dylibs:
        check("load-dylibs", dylib in allowed and compatibility <= 0x10000,
              f"{dylib} compatibility {compatibility:#x}")

    if info:
        bound, weak_bind_size = library.imports()
        for ordinal, symbol in sorted(bound, key=str):
            dylib = library.dylibs[ordinal - 1][0] if 0 < (ordinal or 0) <= len(library.dylibs) else None
            check("imports", symbol in allowed.get(dylib, ()), f"{symbol} from {dylib or ordinal}")
            check("environment", not any(n.decode() in symbol for n in ENVIRONMENT_NAMES), symbol)
        check("exports", weak_bind_size == 0, "weak bindings, which coalesce with other images")
        exports_size = struct.unpack_from("<I", data, info + 44)[0]
        trie = data[struct.unpack_from("<I", data, info + 40)[0]:][:exports_size]
        check("exports", exports_size == 0 or trie[:2] == b"\0\0", "an export trie with entries")

    at = library.command(LC_SYMTAB)
    if at:
        symbols, count, strings = struct.unpack_from("<3I", data, at + 8)
        for index in range(count):
            string, kind = struct.unpack_from("<IB", data, symbols + 16 * index)
            check("exports", not (kind & N_EXT and kind & N_TYPE), c_string(data, strings + string))

    initialisers = library.section("__DATA", "__mod_init_func") or library.section(
        "__DATA_CONST", "__mod_init_func")
    check("initialisers", initialisers and initialisers[3] == 8, f"{initialisers}")

    thread_locals = [s[:2] for s in library.sections if s[4] & 0xFF in THREAD_LOCAL_SECTION_TYPES]
    check("thread-locals", not thread_locals and not library.flags & MH_HAS_TLV_DESCRIPTORS,
          f"{thread_locals}")

    check("paths", SETTINGS_PATH in data, "the settings path is missing")
    check("paths", data.count(b"/var/") == data.count(SETTINGS_PATH), "another /var/ path")
    strings = library.section("__TEXT", "__cstring")
    text = bytes(data[strings[2]:strings[2] + strings[3]]) if strings else b""
    for word in text.split(b"\0"):
        check("environment", not any(n in word for n in ENVIRONMENT_NAMES), word.decode("latin-1"))

    check("signature", *verify_signature(library))
    return found


def verify_signature(library):
    """(True, "") when the signature's SHA-1 page hashes all verify; (False, why) otherwise."""
    data, at = library.data, library.command(LC_CODE_SIGNATURE)
    if not at:
        return False, "no LC_CODE_SIGNATURE"
    offset, size = struct.unpack_from("<II", data, at + 8)
    if offset + size != len(data):
        return False, "the signature does not end the file"
    magic, _, count = struct.unpack_from(">3I", data, offset)
    slots = dict(struct.unpack_from(">2I", data, offset + 12 + 8 * i) for i in range(count))
    if magic != CSMAGIC_EMBEDDED_SIGNATURE or 0 not in slots:
        return False, "no embedded signature with a code directory"
    cd = offset + slots[0]
    (magic, _, version, flags, hashes, _, special, pages, limit, hash_size, hash_type, _, page,
     ) = struct.unpack_from(">9I4B", data, cd)
    if magic != CSMAGIC_CODEDIRECTORY or version not in (0x20001, 0x20100):
        return False, f"code directory magic {magic:#x}, version {version:#x}"
    if hash_type != CS_HASHTYPE_SHA1 or hash_size != 20 or page != 12 or not flags & CS_ADHOC:
        return False, f"hash type {hash_type}, size {hash_size}, page 2^{page}, flags {flags:#x}"
    if limit != offset or pages != -(-limit // 4096):
        return False, f"{pages} pages up to {limit}, the signature at {offset}"
    for index in range(pages):
        expected = data[cd + hashes + 20 * index:][:20]
        if hashlib.sha1(data[4096 * index:min(4096 * (index + 1), limit)]).digest() != expected:
            return False, f"page {index} does not match its hash"
    if special >= 2 and 2 in slots:
        blob = offset + slots[2]
        requirements = data[blob:blob + struct.unpack_from(">I", data, blob + 4)[0]]
        if hashlib.sha1(requirements).digest() != data[cd + hashes - 40:][:20]:
            return False, "the requirements do not match their hash"
    return True, ""


# Each check, and copies of the real file broken in just what it guards.
def patch_command(cmd, field, value, format_="<I"):
    def patch(library, data):
        struct.pack_into(format_, data, library.command(cmd) + field, value)
    return patch


def replace(old, new):
    def patch(library, data):
        assert len(old) == len(new) and old in data, old
        data[:] = data.replace(old, new, 1)
    return patch


def set_header(offset, value):
    return lambda library, data: struct.pack_into("<I", data, offset, value)


def section_field(segment, name, field, value):
    def patch(library, data):
        for at in (a + 72 + 80 * i for c, a in library.commands if c == LC_SEGMENT_64
                   for i in range(struct.unpack_from("<I", data, a + 64)[0])):
            if c_string(data, at)[:16] == name and c_string(data, at + 16)[:16] == segment:
                struct.pack_into("<I", data, at + field, value)
    return patch


def make_symbol_external(library, data):
    symbols = struct.unpack_from("<I", data, library.command(LC_SYMTAB) + 8)[0]
    data[symbols + 4] |= N_EXT


def flip_text_byte(library, data):
    data[library.section("__TEXT", "__text")[2] + 100] ^= 0xFF


def sha256_hash_type(library, data):
    offset = struct.unpack_from("<I", data, library.command(LC_CODE_SIGNATURE) + 8)[0]
    directory = offset + struct.unpack_from(">I", data, offset + 16)[0]
    data[directory + 37] = 2  # CS_HASHTYPE_SHA256


BREAKAGES = [
    ("macho", "an x86-64 file", set_header(4, 0x01000007)),
    ("macho", "a bundle", set_header(12, 8)),
    ("install-name", "another install name",
     replace(b"/Library/MobileSubstrate/", b"/Library/MobileSubstratX/")),
    ("minimum-os", "iOS 8.0", patch_command(LC_VERSION_MIN_IPHONEOS, 8, 0x80000)),
    ("two-level", "a flat namespace", lambda library, data: set_header(
        24, library.flags & ~MH_TWOLEVEL)(library, data)),
    ("chained-fixups", "chained fixups", patch_command(0x1B, 0, LC_DYLD_CHAINED_FIXUPS)),
    ("load-dylibs", "a library outside the list",
     replace(b"/usr/lib/libcolorpicker.dylib", b"/usr/lib/libcolorpickex.dylib")),
    ("load-dylibs", "compatibility version 2", lambda library, data: struct.pack_into(
        "<I", data, [a for c, a in library.commands if c == 0xC][0] + 20, 0x20000)),
    ("imports", "a symbol outside the list", replace(b"_memchr\0", b"_malloc\0")),
    ("environment", "an environment lookup", replace(b"_strtod\0", b"_getenv\0")),
    ("environment", "a selector of the environment", replace(b"initWithHex:", b"environment\0")),
    ("exports", "an exported symbol", make_symbol_external),
    ("initialisers", "two initialisers", section_field("__DATA", "__mod_init_func", 40, 16)),
    ("thread-locals", "a thread-local section",
     section_field("__DATA", "__data", 64, 0x11)),
    ("paths", "no settings path", replace(b"/var/mobile/Library/", b"/var/mobile/Librarz/")),
    ("paths", "another /var/ path", replace(b"initWithHex:", b"/var/db/x\0\0\0")),
    ("signature", "a changed page", flip_text_byte),
    ("signature", "SHA-256 page hashes", sha256_hash_type),
]


class DeviceLibraryTest(unittest.TestCase):
    data = None

    @classmethod
    def setUpClass(cls):
        if not LIBRARY.is_file():
            raise AssertionError(f"{LIBRARY} is missing: build it with scripts/device-build.sh")
        cls.data = bytearray(LIBRARY.read_bytes())

    def test_the_library_passes_every_check(self):
        self.assertEqual(problems(self.data), [])

    def test_each_check_fails_on_a_copy_broken_in_what_it_guards(self):
        for check, breakage, patch in BREAKAGES:
            with self.subTest(check=check, breakage=breakage):
                copy = bytearray(self.data)
                patch(Library(copy), copy)
                found = problems(copy)
                self.assertTrue(any(p.startswith(check + ":") for p in found), found)


if __name__ == "__main__":
    unittest.main(verbosity=2)
