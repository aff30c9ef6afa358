"""What the release checks read from a Windows executable: machine, subsystem, link time stamp and
the version resource (VS_VERSIONINFO), read straight from the PE file's bytes."""

import struct

RT_VERSION = 16
FIXED_INFO_SIGNATURE = 0xFEEF04BD


class PeError(ValueError):
    pass


class Bytes:
    """Bounded reads of a byte string: every read past the end is a PeError, never a short read."""

    def __init__(self, data):
        self.data = data

    def unpack(self, layout, offset):
        size = struct.calcsize(layout)
        if offset < 0 or offset + size > len(self.data):
            raise PeError(f"read of {size} bytes at {offset} passes the end ({len(self.data)})")
        return struct.unpack_from(layout, self.data, offset)

    def slice(self, offset, length):
        if offset < 0 or length < 0 or offset + length > len(self.data):
            raise PeError(f"range {offset}+{length} passes the end ({len(self.data)})")
        return self.data[offset:offset + length]


def _align4(offset):
    return (offset + 3) & ~3


class _Image:
    def __init__(self, data):
        self.bytes = Bytes(data)
        (header,) = self.bytes.unpack("<I", 0x3C)
        if self.bytes.slice(0, 2) != b"MZ" or self.bytes.slice(header, 4) != b"PE\0\0":
            raise PeError("no MZ and PE signatures")
        coff = header + 4
        self.machine, sections, self.timestamp, _, _, optional_size, _ = self.bytes.unpack("<HHIIIHH", coff)
        optional = coff + 20
        (magic,) = self.bytes.unpack("<H", optional)
        if magic not in (0x10B, 0x20B):
            raise PeError(f"optional header magic {magic:#x}")
        (self.subsystem,) = self.bytes.unpack("<H", optional + 68)
        directories = optional + (96 if magic == 0x10B else 112)
        (directory_count,) = self.bytes.unpack("<I", directories - 4)
        self.resource_rva, self.resource_size = self.bytes.unpack("<II", directories + 16) if directory_count > 2 else (0, 0)
        table = optional + optional_size
        self.sections = [self.bytes.unpack("<IIII", table + 40 * index + 8) for index in range(sections)]

    def offset_of(self, rva):
        for virtual_size, address, raw_size, raw_offset in self.sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw_offset + rva - address
        raise PeError(f"address {rva:#x} lies in no section")

    def first_resource(self, type_id):
        """The data of the first name and language under one resource type, or None."""
        if not self.resource_rva:
            return None
        root = self.offset_of(self.resource_rva)
        # Three levels: type, name, language; entry targets count from the root of the tree.
        target = self._entry_target(root, type_id)
        for _ in range(2):
            if target is None:
                return None
            target = self._entry_target(root + target, None)
        if target is None:
            return None
        data_rva, size = self.bytes.unpack("<II", root + target)
        return self.bytes.slice(self.offset_of(data_rva), size)

    def _entry_target(self, directory, wanted_id):
        """Where the entry numbered wanted_id (or the first entry, for None) points, or None."""
        named, numbered = self.bytes.unpack("<HH", directory + 12)
        for index in range(named + numbered):
            name, target = self.bytes.unpack("<II", directory + 16 + 8 * index)
            if wanted_id is None or (not name & 0x80000000 and name == wanted_id):
                return target & 0x7FFFFFFF
        return None


def _block(data, offset):
    """One VS_VERSIONINFO-style block: (key, value bytes, children, end of the block)."""
    length, value_length, value_type = data.unpack("<HHH", offset)
    if length < 6:
        raise PeError(f"version block of length {length}")
    end = offset + length
    key_end = offset + 6
    while data.unpack("<H", key_end) != (0,):
        key_end += 2
    key = data.slice(offset + 6, key_end - offset - 6).decode("utf-16-le")
    value_start = _align4(key_end + 2)
    value_size = value_length * 2 if value_type == 1 else value_length
    value = data.slice(value_start, value_size)
    children = []
    child = _align4(value_start + value_size)
    while child < end:
        block = _block(data, child)
        children.append(block)
        child = _align4(block[3])
    return key, value, children, end


def version_info(resource):
    """(file version, product version, {string name: text}) of an RT_VERSION resource."""
    data = Bytes(resource)
    key, value, children, _ = _block(data, 0)
    if key != "VS_VERSION_INFO" or len(value) < 52:
        raise PeError(f"version resource starts with {key!r} and {len(value)} value bytes")
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", value, 0)
    if signature != FIXED_INFO_SIGNATURE:
        raise PeError(f"fixed file information signature {signature:#x}")
    strings = {}
    for child_key, _, tables, _ in children:
        if child_key != "StringFileInfo":
            continue
        for _, _, entries, _ in tables:
            for name, text, _, _ in entries:
                strings[name] = text.decode("utf-16-le").rstrip("\0")
    return (_four_numbers(file_ms, file_ls), _four_numbers(product_ms, product_ls), strings)


def _four_numbers(most, least):
    return (most >> 16, most & 0xFFFF, least >> 16, least & 0xFFFF)


def pe_facts(data):
    """Machine, subsystem, link time stamp and version information of an executable's bytes."""
    image = _Image(data)
    resource = image.first_resource(RT_VERSION)
    return {
        "machine": image.machine,
        "subsystem": image.subsystem,
        "timestamp": image.timestamp,
        "version": version_info(resource) if resource is not None else None,
    }
