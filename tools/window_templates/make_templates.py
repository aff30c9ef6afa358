#!/usr/bin/env python3
"""Builds a program's window template table from a readable description, as C++ source.

    make_templates.py DESCRIPTION.json --root SOURCE_ROOT --symbol NAME --out FILE.cpp [--binary FILE.bin]

The description is JSON (texts in UTF-8, written out as GBK):

    {"handlers_header": "app/x.h",          # declares the handlers the events name
     "windows": [{"id": "0x52010001", "name": "", "comment": "", "carried": [0, 0],
                  "units": [{"id": "0x06010000", "kind": "window", "left": 50, ...,
                             "flags": 1, "parent": 0, "children": [], "tag": "",
                             "link": 0, "events": {"0": "HandlerName"},
                             "properties": {"title": "...", "icon": "file:resources/x.ico"}}]}]}

The window unit comes first. Kinds: window, button, picture_box, trans_label; any other unit
gives "type" (a number) and "properties_hex". Unset properties take their kind's defaults.
A bytes property is "file:PATH" (under --root) or "hex:..."; a font is an object with the fields
of a logical font. Each distinct handler name gets an offset; the C++ source maps the offsets
back to the handlers.
"""
import argparse
import json
import os
import struct
import sys

KIND_TYPES = {"window": 0x00010001, "button": 0x0001000B, "picture_box": 0x00010006, "trans_label": 0x00020005}

# (field, encoding, default, first version that has it)
PROPERTY_FIELDS = {
    "window": [
        ("version", "int", 6, 1), ("border_style", "int", 2, 1), ("word_a", "int", 1, 1),
        ("back_colour", "int", 0xFF000000, 1), ("maximise_box", "int", 0, 1), ("minimise_box", "int", 0, 1),
        ("control_box", "int", 1, 1), ("start_position", "int", 1, 1), ("movable", "int", 1, 1),
        ("sound_play_mode", "int", 0, 1), ("word_b", "int", 0, 1), ("word_c", "int", 1, 1),
        ("word_d", "int", 0, 1), ("word_e", "int", 0, 1), ("shown_in_taskbar", "int", 1, 2),
        ("word_f", "int", 0, 3), ("word_g", "int", 0, 3), ("always_on_top", "int", 0, 4),
        ("word_h", "int", 0, 5), ("class_name", "text", "", 6), ("bytes_j", "bytes", "", 1),
        ("icon", "bytes", "", 1), ("sound", "bytes", "", 1), ("title", "text", "", 1), ("text_i", "text", "", 1),
    ],
    "button": [
        ("version", "int", 1, 1), ("type", "int", 0, 1), ("horizontal_alignment", "int", 1, 1),
        ("vertical_alignment", "int", 1, 1), ("picture", "bytes", "", 1), ("font", "font", None, 1),
        ("caption", "text", "按钮", 1),
    ],
    "picture_box": [
        ("version", "int", 2, 1), ("border", "int", 0, 1), ("back_colour", "int", 0xFF000000, 1),
        ("display_mode", "int", 0, 1), ("animate", "int", 1, 1), ("picture", "bytes", "", 1),
        ("text1", "text", "", 2), ("text2", "text", "", 2),
    ],
    "trans_label": [
        ("version", "int", 1, 1), ("effect", "int", 0, 1), ("text_colour", "int", 0, 1),
        ("horizontal_alignment", "int", 0, 1), ("vertical_alignment", "int", 1, 1), ("word_wrap", "int", 0, 1),
        ("font", "font", None, 1), ("caption", "text", "透明标签", 1),
    ],
}

UNIT_KEYS = {"id", "kind", "type", "name", "comment", "left", "top", "width", "height", "parent", "children",
             "cursor", "tag", "flags", "link", "events", "properties", "properties_hex"}


class DescriptionError(Exception):
    pass


def number(value):
    return int(value, 0) if isinstance(value, str) else int(value)


def i32(value):
    value = number(value)
    if not -0x80000000 <= value <= 0xFFFFFFFF:
        raise DescriptionError(f"{value} does not fit 32 bits")
    return struct.pack("<I", value & 0xFFFFFFFF)


def gbk(text):
    return text.encode("gbk")


def sized(data):
    return i32(len(data)) + data


def nul_text(text):
    data = gbk(text)
    if b"\0" in data:
        raise DescriptionError(f"text {text!r} holds a NUL")
    return data + b"\0"


def load_bytes(value, root, used_files):
    if not value:
        return b""
    if value.startswith("file:"):
        path = os.path.join(root, value[5:])
        used_files.append(path)
        with open(path, "rb") as f:
            return f.read()
    if value.startswith("hex:"):
        return bytes.fromhex(value[4:])
    raise DescriptionError(f"bytes value {value[:20]!r} is neither file: nor hex:")


def logical_font(font):
    if font is None:
        return b""
    face = gbk(font["face"])
    if len(face) > 31:
        raise DescriptionError(f"font face {font['face']!r} is longer than 31 bytes")
    head = struct.pack("<5i", font.get("height", 0), font.get("width", 0), font.get("escapement", 0),
                       font.get("orientation", 0), font.get("weight", 400))
    flags = bytes([font.get("italic", 0), font.get("underline", 0), font.get("strike_out", 0),
                   font.get("charset", 1), font.get("out_precision", 0), font.get("clip_precision", 0),
                   font.get("quality", 0), number(font.get("pitch_and_family", 0))])
    block = head + flags + face.ljust(32, b"\0")
    assert len(block) == 60
    return block


def property_block(kind, properties, root, used_files):
    fields = PROPERTY_FIELDS[kind]
    known = {name for name, _, _, _ in fields}
    unknown = set(properties) - known
    if unknown:
        raise DescriptionError(f"{kind} has no properties {sorted(unknown)}")
    version = properties.get("version", fields[0][2])
    out = b""
    for name, encoding, default, since in fields:
        if version < since:
            continue
        value = properties.get(name, default)
        if encoding == "int":
            out += i32(value)
        elif encoding == "text":
            out += sized(gbk(value))
        elif encoding == "bytes":
            out += sized(load_bytes(value, root, used_files))
        elif encoding == "font":
            out += sized(logical_font(value))
    return out


def unit_record(unit, handler_offsets, root, used_files):
    unknown = set(unit) - UNIT_KEYS
    if unknown:
        raise DescriptionError(f"unit {unit.get('id')} has unknown keys {sorted(unknown)}")
    kind = unit.get("kind")
    if kind:
        type_code = KIND_TYPES[kind]
        properties = property_block(kind, unit.get("properties", {}), root, used_files)
    else:
        type_code = number(unit["type"])
        properties = bytes.fromhex(unit.get("properties_hex", ""))
    events = unit.get("events", {})
    event_bytes = i32(len(events))
    for event, handler in sorted(events.items(), key=lambda item: number(item[0])):
        offset = -1 if handler is None else handler_offsets.setdefault(handler, 16 * len(handler_offsets))
        event_bytes += i32(number(event)) + i32(offset)
    children = unit.get("children", [])
    cursor = load_bytes(unit.get("cursor", ""), root, used_files)
    return b"".join([
        i32(type_code), i32(unit.get("link", 0)), bytes(16),
        nul_text(unit.get("name", "")), nul_text(unit.get("comment", "")), i32(0),
        i32(unit.get("left", 0)), i32(unit.get("top", 0)), i32(unit.get("width", 0)), i32(unit.get("height", 0)),
        i32(0), i32(unit.get("parent", 0)),
        i32(len(children)), b"".join(i32(c) for c in children),
        sized(cursor), nul_text(unit.get("tag", "")), i32(0), i32(unit.get("flags", 1)), i32(0),
        event_bytes, bytes(20), properties,
    ])


def window_block(window, handler_offsets, root, used_files):
    units = window["units"]
    if not units or units[0].get("kind") != "window":
        raise DescriptionError(f"window {window['id']} does not start with its window unit")
    records = [sized(unit_record(u, handler_offsets, root, used_files)) for u in units]
    offsets, at = [], 0
    for record in records:
        offsets.append(at)
        at += len(record)
    body = b"".join(i32(u["id"]) for u in units) + b"".join(i32(o) for o in offsets) + b"".join(records)
    carried = window.get("carried", [0, 0])
    return (i32(carried[0]) + i32(carried[1]) + sized(gbk(window.get("name", ""))) +
            sized(gbk(window.get("comment", ""))) + i32(len(units)) + sized(body))


def build(description, root):
    handler_offsets, used_files = {}, []
    windows = description["windows"]
    pairs = b"".join(i32(w["id"]) + i32(0) for w in windows)
    blocks = b"".join(window_block(w, handler_offsets, root, used_files) for w in windows)
    return i32(len(pairs)) + pairs + blocks, handler_offsets, used_files


def cpp_source(table, handler_offsets, symbol, header, origin):
    lines = [f"// Window templates generated from {origin} by tools/window_templates/make_templates.py.",
             "#include \"runtime/templates/template_program.h\"",
             "#include \"runtime/constant_segment.h\""]
    if header:
        lines.append(f"#include \"{header}\"")
    lines += ["", "namespace {", "", f"RUNTIME_CONSTANT alignas(4) const unsigned char table[{len(table)}] = {{"]
    for start in range(0, len(table), 24):
        lines.append("    " + ", ".join(f"0x{b:02X}" for b in table[start:start + 24]) + ",")
    lines.append("};")
    if handler_offsets:
        lines += ["", "const EventHandlerEntry handlers[] = {"]
        for name, offset in sorted(handler_offsets.items(), key=lambda item: item[1]):
            lines.append(f"    {{{offset}, \"{name}\", &InvokeHandler<&{name}>}},")
        lines += ["};", "", "}  // namespace", "",
                  f"extern const TemplateProgram {symbol} = {{table, handlers}};"]
    else:
        lines += ["", "}  // namespace", "", f"extern const TemplateProgram {symbol} = {{table, {{}}}};"]
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("description")
    parser.add_argument("--root", required=True)
    parser.add_argument("--symbol", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--binary")
    parser.add_argument("--depfile")
    args = parser.parse_args()
    with open(args.description, encoding="utf-8") as f:
        description = json.load(f)
    try:
        table, handler_offsets, used_files = build(description, args.root)
    except (DescriptionError, KeyError, ValueError) as error:
        sys.exit(f"{args.description}: {error}")
    origin = os.path.relpath(args.description, args.root)
    source = cpp_source(table, handler_offsets, args.symbol, description.get("handlers_header"), origin)
    with open(args.out, "w", encoding="utf-8") as f:
        f.write(source)
    if args.binary:
        with open(args.binary, "wb") as f:
            f.write(table)
    if args.depfile:
        with open(args.depfile, "w", encoding="utf-8") as f:
            f.write(f"{args.out}: {' '.join(used_files)}\n")


if __name__ == "__main__":
    main()
