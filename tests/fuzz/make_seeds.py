#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into tests/fuzz/corpus/<target>/.

Run from anywhere with Debian's python3-msgpack (PYENV_VERSION=system python3 make_seeds.py).
The seeds are small, valid or nearly valid inputs of each reader; libFuzzer mutates them.
Files written by hand (the regression inputs of fixed findings, named crash-*) are kept.
"""
import os
import struct

import msgpack

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("utf-8")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def date(days):
    return msgpack.ExtType(2, struct.pack(">d", days))


def ref(text):
    return msgpack.ExtType(1, text.encode("utf-8"))


def pack(value):
    return msgpack.packb(value, use_bin_type=True)


PACKET = {
    "fields": [["CDFILIAL", "string", 4], ["NMFILIAL", "string", 30], ["QT", "integer", 0],
               ["VL", "float", 0], ["ATIVO", "boolean", 0], ["DTINI", "date", 0]],
    "rows": [["0001", "Matriz", 3, 1.5, True, date(46364.0)],
             ["A1B2", "Loja Shopping", None, -2, False, None],
             ["0002", "Filial Centro ção", -7, 0.25, None, date(46364.75)]],
}

# Stream decoder: a limits byte, then messages back to back.
requests = [
    [0, 1, "attach", ["Vnd42400.rdmTabePreco"]],
    [0, 2, "attach", ["Vnd42400.rdmTabePreco", "segredo", {"user": "ana", "host": "pc1"}]],
    [0, 3, "GetFilial", ["0001", ""]],
    [0, 4, "getVigencia", ["0001", "001", date(46364.0), "T", ref("dd/mm/yyyy")]],
    [0, 5, "SetUpdItemPrecoAlt", [ref("S"), ref(""), ref(""), ref("_0001_"), ref("T"), None,
                                  True, "0001", "001", date(46364.0)]],
    [0, 6, "Echo", [PACKET, 2147483647, -2147483648]],
    [2, "notify", []],
]
responses = [
    [1, 1, None, True],
    [1, 3, None, [0, "", PACKET]],
    [1, 4, [404, "servidor desconhecido: X"], None],
    [1, 5, None, [1, "Filial não cadastrada.", None]],
    [1, 6, None, [0, "", {"fields": [], "rows": []}]],
]
write("stream_decoder", "requests", b"\x00" + b"".join(pack(m) for m in requests))
write("stream_decoder", "responses", b"\x00" + b"".join(pack(m) for m in responses))
write("stream_decoder", "small-limits", b"\x0f" + b"".join(pack(m) for m in requests[:3]))
write("stream_decoder", "nested", b"\x04" + pack([0, 7, "Echo", [[[[[1]]]]]]))
write("stream_decoder", "wide", b"\x00" + pack([0, 8, "Echo", [list(range(40)), "x" * 300]]))

# Packet decoder: a limits byte, then one packet.
write("packet_decoder", "packet", b"\x00" + pack(PACKET))
write("packet_decoder", "empty", b"\x00" + pack({"rows": [], "fields": []}))
write("packet_decoder", "small-limits", b"\x0f" + pack(PACKET))
write("packet_decoder", "bad-row", b"\x00" + pack({"fields": [["A", "string", 1]],
                                                   "rows": [["ab"], [1]]}))

# Edit mask: a caret byte, then mask, value and keys on three lines.
masks = [
    ("99.99.9999;0;_", "12345678", "9876"),
    ("99.99.9999;1;_", "12.34.5678", "1"),
    (">aaaa;0; ", "ab", "cd12"),
    ("!99/99/0000;1;_", "1/12/2026", "08122026"),
    ("<LL-ll\\-CC;0;*", "abcd", "XYZ"),
    ("999.999.99;1;_", "", "1/2.3"),
    ("##0;0", "-12", "+7"),
    ("ºAA;0;_", "çã", "é"),
]
for i, (mask, value, keys) in enumerate(masks):
    write("edit_mask", "mask%d" % i, bytes([i * 3]) + "\n".join([mask, value, keys]).encode())

# Date parser: a choice byte, then format and text.
dates = [
    (0x00, "", "08/12/2026"), (0x00, "", " 8/12/26 "), (0x01, "", "8/1/2026"),
    (0x02, "", "12/08/2026"), (0x03, "", "2026-12-08"), (0x04, "", "08.12.26"),
    (0x05, "", "2026/12/8 10:30"), (0x00, "", "29/02/2028"), (0x00, "", "08/12"),
    (0x80, "yyyy/mm/dd", "2026/12/08"), (0x80, "d 'de' mmmm 'de' yyyy", "8/12/2026 23:59:59"),
    (0x88, "dd-mm-yy", "08-12-26"), (0x80, "mm/dd/yyyy hh:nn", "12/08/2026"),
]
for i, (choice, fmt, text) in enumerate(dates):
    write("date_parser", "date%d" % i, bytes([choice]) + (fmt + "\n" + text).encode())

# Definition reader: the product's own definitions and a small one using each value kind.
for path in ["src/vnd42406/screen_definition/TfrmCadAutPromocao.def",
             "src/shared/definitions/TfrmRotiGeral.def"]:
    with open(os.path.join(ROOT, path), "rb") as f:
        write("definition_reader", os.path.basename(path), f.read())
write("definition_reader", "kinds.def", """object frmFuzz: TForm
  Caption = 'Fuzz ''aspas'' ' + 'ção'
  Left = -12
  Width = 300
  Font.Style = [fsBold, fsItalic]
  Color = clBtnFace
  OnClose = Close
  OnCreate = Notify
  object grb: TGroupBox
    Caption = 'AB' +
      'ç'
    object med: TMaskEdit
      EditMask = '99.99.9999;0;_'
      Text = '12345678'
      OnExit = Notify
    end
    object rdg: TRadioGroup
      ItemIndex = 1
      Items = (
        'um'
        'dois')
    end
    object btn: TButtonFlat
      Glyph.Data = {
        0A0B0C}
    end
  end
end
""")

# Session reader: a session file.
write("session_reader", "session.ini", """; the session of one user
[session]
branch        = A1B2          ; a comment after a blank
branch_name   = "Loja; Shopping"
branch_locked = yes
server_host   = 127.0.0.1
server_port   = 2110
product_mask  = 99.99.9999;0;_
short_date_format = dd/mm/yyyy
connect_timeout_s = 10
call_timeout_s = 120
server_token = segredo#1
user = ana
""")
write("session_reader", "other.ini", """[other]
# nothing here
[SESSION]
short_date_format=yyyy-mm-dd
product_mask=!999.999.99;1;_
branch_locked=0
""")
