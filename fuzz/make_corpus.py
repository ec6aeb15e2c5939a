#!/usr/bin/env python3
"""Writes the fuzzer's starting corpus: well-formed recorder replies for each operation.

Each file is one byte naming the operation, one byte of options, then what the recorder says
(see fuzz_protocol.cpp). Run it from anywhere; it rewrites fuzz/corpus/.
"""
import os
import struct

MAGIC = 0xFADE
RSP_OK, RSP_FILE_BLOCK, CMD_ACK = 0x8100, 0x8110, 0x4500
(OP_FRAMES, OP_DEVICE_INFO, OP_CARD_INFO, OP_LIST, OP_GET_INTO_FOLDER, OP_GET_BY_PLAN, OP_PUT,
 OP_DELETE, OP_SAVE_ARCHIVE, OP_ALL) = range(10)
BLOCK_MAX_DATA = 32744


def frame(code, payload=b""):
    length = (len(payload) + 1035) & ~1023
    body = struct.pack("<HHIH", MAGIC, 0, length, code) + b"\0\0" + payload
    return body + b"\0" * (length - len(body))


def text(s):
    return s.encode("utf-16-le") + b"\0\0"


def entry(name, size, filetime=0x01C99F3A5C6B8000):
    record = struct.pack("<I", 0x20) + struct.pack("<QQQ", filetime, filetime, filetime)
    record += struct.pack("<III", 0, size, 0) + text(name)
    return record + b"\0" * (560 - len(record))


def download(size):
    blocks, sent = b"", 0
    while True:
        count = min(BLOCK_MAX_DATA, size - sent)
        data = bytes((sent + i) * 7 & 0xFF for i in range(count))
        blocks += frame(RSP_FILE_BLOCK, struct.pack("<III", size, sent, count) + data)
        sent += count
        if sent >= size:
            return blocks


device_info = frame(RSP_OK, text("Paperless recorder RX-12, firmware 3.10"))
card_info = frame(RSP_OK, b"\0" * 12 + text("CompactFlash 512 MB, 3 files"))
listing = b"".join(frame(RSP_OK, entry(n, s)) for n, s in
                   [("ARCH0001.DAT", 70000), ("CONFIG.INI", 3), ("REPORT.CSV", 0)])
listing += frame(RSP_OK, b"\0" * 560)
upload_acks = frame(RSP_OK) + frame(CMD_ACK) * 3

corpus = {
    "frames": bytes([OP_FRAMES, 0]) + device_info + card_info,
    "device-info": bytes([OP_DEVICE_INFO, 0]) + device_info,
    "card-info": bytes([OP_CARD_INFO, 0]) + card_info,
    "list-three": bytes([OP_LIST, 0]) + listing,
    "get-empty": bytes([OP_GET_INTO_FOLDER, 0]) + download(0),
    "get-70000": bytes([OP_GET_BY_PLAN, 0]) + download(70000),
    "get-70000-replace": bytes([OP_GET_BY_PLAN, 1 | 8]) + download(70000),
    "put-70000": bytes([OP_PUT, 3]) + upload_acks,
    "delete": bytes([OP_DELETE, 0]) + frame(RSP_OK),
    "save-archive": bytes([OP_SAVE_ARCHIVE, 0]) + frame(RSP_OK),
    # Cancelled after the request and the first acknowledgement; an empty upload source.
    "get-cancelled": bytes([OP_GET_BY_PLAN, 0x30]) + download(70000),
    "list-cancelled": bytes([OP_LIST, 0x20]) + listing,
    "put-empty": bytes([OP_PUT, 0]) + frame(RSP_OK),
    # A recorder that announces 70000 bytes, then 65488 in its second block.
    "get-total-changes": bytes([OP_GET_BY_PLAN, 8]) + download(70000)[:32768]
    + download(65488)[32768:],
    # OLD.DAT replaced twice, a 1-byte upload, a deletion, an archive save.
    "all": bytes([OP_ALL, 1 | 8]) + device_info + card_info + listing + download(0) + download(1)
    + frame(RSP_OK) + frame(CMD_ACK) + frame(RSP_OK) + frame(RSP_OK),
}

folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
os.makedirs(folder, exist_ok=True)
for name in os.listdir(folder):
    os.remove(os.path.join(folder, name))
# libFuzzer runs its starting corpus in order of size, and files of one size in the order the
# folder lists them: each file gets a size of its own (a few trailing bytes that never make a
# block), so that a seed takes the same path on every run.
for padding, (name, data) in enumerate(sorted(corpus.items())):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data + b"\0" * padding)
