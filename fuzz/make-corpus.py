#!/usr/bin/env python3
"""Writes the seed corpus under fuzz/corpus/ (run by hand; the seeds are committed).

Library inputs are two big-endian bytes giving the index length / 4, the index file, then the
data file, as FuzzSupport's Split cuts them."""
import json
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def gbk(text):
    return text.encode("gbk")


def field(text, width):
    raw = gbk(text)[: width - 1]
    return raw + b"\0" * (width - len(raw))


def header(count, name="测试", author="编者", magic=b"SC", reserved=b"\0" * 196):
    return (magic + field(name, 65) + field(author, 17) + struct.pack("<ii", 10203, 20050301)
            + reserved + struct.pack("<I", count))


def record(title, author, dynasty, form, length, offset):
    return (field(title, 65) + field(author, 17) + field(dynasty, 17) + field(form, 17)
            + struct.pack("<II", length, offset))


def library(poems, **header_args):
    data = b""
    records = b""
    for title, author, text in poems:
        body = gbk(text) + b"\0"
        records += record(title, author, "唐代", "五言绝句", len(body), len(data))
        data += body
    index = header(len(poems), **header_args) + records
    return index, data


def pack(index, data):
    assert len(index) % 4 == 0
    return struct.pack(">H", len(index) // 4) + index + data


def write(target, name, content):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as out:
        out.write(content)


POEMS = [("静夜思", "李白", "床前明月光，\r\n疑是地上霜。"),
         ("春晓", "孟浩然", "春眠不觉晓，\r\n处处闻啼鸟。"),
         ("天净沙·秋思", "马致远", "枯藤老树昏鸦，<b>小桥</b>流水人家。")]

libraries = {}
libraries["small"] = library(POEMS)
libraries["empty"] = library([])
index, data = library(POEMS)
libraries["short-header"] = (index[:100], data)
libraries["half-signature"] = (b"Sx" + index[2:], data)
libraries["foreign"] = (b"XY" + index[2:], data)
libraries["huge-count"] = (index[:288] + struct.pack("<I", 0xFFFFFFFF) + index[292:], data)
libraries["short-records"] = (index[:292 + 124], data)
broken = bytearray(index)
struct.pack_into("<II", broken, 292 + 116, 0xFFFFFFF8, 3)            # length near 4 GiB
struct.pack_into("<II", broken, 292 + 124 + 116, 10, len(data) + 50)  # beyond the data
broken[292 + 248: 292 + 248 + 65] = b"T" * 65                         # title without its zero
libraries["bad-records"] = (bytes(broken), data)
libraries["invalid-bytes"] = library([("\u00b7", "a", "x")])
libraries["invalid-bytes"] = (libraries["invalid-bytes"][0], b"\x81\xff\x80abc\xd2")

for name, (idx, dat) in libraries.items():
    write("library", name, pack(idx, dat))
    write("check", name, pack(idx, dat))

write("import", "plain.json", json.dumps([
    {"title": "靜夜思", "author": "李白", "paragraphs": ["床前明月光，", "疑是地上霜。"]},
    {"rhythmic": "水調歌頭", "author": "蘇軾", "paragraphs": ["明月幾時有"]},
    {"title": "商調・梧葉兒", "author": "无名氏", "form": "乾荷叶", "paragraphs": []},
], ensure_ascii=False).encode())
write("import", "anthology.json", json.dumps({"title": "千家诗", "content": [
    {"type": "五言绝句", "content": [
        {"chapter": "春晓", "author": "孟浩然", "paragraphs": ["春眠不觉晓"]}]}]},
    ensure_ascii=False).encode())
write("import", "odd.json", b'[{"title": 5, "author": null, "paragraphs": "x"}, 3, [], {}]')

# Notes inputs: the index, then the data file padded to four bytes and the notes file, each cut
# as Split cuts them. The notes file as library/PoemNotes.h describes it.
def fnv(data):
    value = 14695981039346656037
    for byte in data:
        value = ((value ^ byte) * 1099511628211) & 0xFFFFFFFFFFFFFFFF
    return value


def zero_ended(raw):
    return raw.split(b"\0")[0]


def notes_file(index, data, notes_of):
    entries = []
    for i, (full_title, notes) in notes_of.items():
        at = 292 + 124 * i
        title, author = index[at:at + 65], index[at + 65:at + 82]
        length, offset = struct.unpack_from("<II", index, at + 116)
        text = zero_ended(data[offset:offset + length])
        poem_sum = fnv(zero_ended(title) + b"\0" + zero_ended(author) + b"\0" + text)
        body = b"".join(gbk(line) + b"\0" for line in [full_title] + notes)
        entries.append((offset, length, poem_sum, body))
    entries.sort(key=lambda entry: entry[:3])
    table, bodies = b"", b""
    start = 16 + 32 * len(entries)
    for offset, length, poem_sum, body in entries:
        table += struct.pack("<IIQIIQ", offset, length, poem_sum, start + len(bodies), len(body),
                             fnv(body))
        bodies += body
    return b"SCNOTES\0" + struct.pack("<II", 1, len(entries)) + table + bodies


def pack_notes(index, data, notes):
    data += b"\0" * (-len(data) % 4)
    return pack(index, pack(data, notes))


index, data = libraries["small"]
sound = notes_file(index, data, {0: ("", ["床--井栏。", "疑--好像。"]),
                                 2: ("天净沙·秋思（小令）", ["<b>枯藤</b> & 老树"])})
write("notes", "sound", pack_notes(index, data, sound))
write("notes", "empty", pack_notes(index, data, b""))
write("notes", "header-only", pack_notes(index, data, b"SCNOTES\0" + struct.pack("<II", 1, 0)))
write("notes", "cut-short", pack_notes(index, data, sound[:len(sound) - 5]))
damaged = bytearray(sound)
damaged[-3] ^= 0x55
write("notes", "damaged", pack_notes(index, data, bytes(damaged)))
huge = bytearray(sound)
struct.pack_into("<I", huge, 16 + 20, 0xFFFFFFFF)  # the first poem's notes: 4 GiB long
write("notes", "huge-size", pack_notes(index, data, bytes(huge)))
write("notes", "many-entries", pack_notes(index, data, sound[:12] + struct.pack("<I", 0x7FFFFFFF)
                                          + sound[16:]))

write("codepage", "text", gbk("明月") + gbk("床前明月光，\r\n疑是地上霜。"))
write("codepage", "invalid", b"\xb4\x81" + b"\x81 A\xff\x80\xd2\x7f" + gbk("月光") + b"\0tail")
write("codepage", "dot", gbk("·") + gbk("商调·梧叶儿"))
