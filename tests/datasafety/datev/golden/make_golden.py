#!/usr/bin/env python3
"""Writes the expected DATEV files of the golden run, byte by byte from the
record tables of the transfer format, independently of the program's writer.
Run it from this folder; the files it writes are checked in.

The run: consultant 1234567 "Berater", client 12345 "HM", password "geh1",
accounting number 7, data carrier 12, March 2004, account length 4; three
journal rows (invoice RE-1 100.00 at the full rate, credit note GS-2 119.00,
invoice RE-3 split 100.00 full / 50.00 reduced), customers 100 and 200,
supplier 70, employee 17 with 8.50 hours of type 2 (factor 1.25)."""

FS, FE = b"\x1e", b"\x1c"


def d2(n):
    return b"%02d" % n


def dig(n, w):
    return str(n).zfill(w).encode()


def header_text(anw, kennung, control):
    t = dig(anw, 2) + b"HM" + dig(1234567, 7) + dig(12345, 5) + dig(kennung, 6)
    if not control:
        t += b"010304" + b"310304"
    elif anw == 13:
        t += b" " * 16
    else:
        t += b"0000" + b"010304" + b"310304"
    return t + b"001" + b"geh1"


class DataFile:
    def __init__(self):
        self.data = bytearray()
        self.counter = 0

    def header(self, raw):
        self.data += raw
        self.counter += len(raw) - 1

    def version(self, raw):
        self.data += raw
        self.counter += len(raw)

    def record(self, r):
        a = self.counter % 256
        if a + len(r) >= 250:
            self.data += b"\0" * (255 - a)
            self.counter += 255 - a
        self.data += r
        self.counter += len(r)

    def close(self, r):
        self.record(r)
        self.data += b"\0" * (255 - self.counter % 256)
        return self.counter // 256 + 1, self.counter % 256


def data_header(kne, anw, kennung):
    h = b"\x1d\x18" + b"1" + b"012" + header_text(anw, kennung, False)
    return h + b"SELF-ID: 99999".ljust(16) + b" " * 16 + b"y"


def master_header(kennung):
    return (b"\x1d\x18" + b"1" + b"012" + b"13" + b"HM" + dig(1234567, 7) + dig(12345, 5) +
            dig(kennung, 6) + b"geh1" + b"SELF-ID: 99999".ljust(16) + b" " * 16 + b"y")


VERSION = b"1,4,4,SELF"


def booking(kne, cents, key, konto_gegen, beleg, faellig, day_month, debitor, text):
    r = (b"+" if cents >= 0 else b"-") + str(abs(cents)).zfill(3).encode()
    if kne:
        r += (b"l" + str(key).encode() if key else b"") + b"a" + dig(konto_gegen, 4)
    else:
        r += b"a" + ("0%d%05d" % (key, konto_gegen)).lstrip("0").encode()
    if kne:
        r += b"\xbd" + str(beleg).encode() + FE + b"\xbe" + faellig + FE
    else:
        r += b"b" + str(beleg).encode() + b"c" + faellig
    r += b"d" + day_month + b"e" + str(debitor).encode()
    r += FS + text + FE
    r += b"\xb3EUR" + FE if kne else b"o1"
    return r + b"y"


def unit(no, value):
    return b"t" + dig(no, 3) + FS + value + FE + b"y"


def master(account, match, nr, plz=b"", ort=b"", street=b""):
    r = unit(101, b"1") + unit(102, str(account).encode()) + unit(103, match)
    r += unit(104, str(nr).encode())
    if plz:
        r += unit(106, plz)
    if ort:
        r += unit(107, ort)
    if street:
        r += unit(108, street)
    return r


def run(kne):
    files = {}
    control = []
    # Bookings: accounting key 000704.
    f = DataFile()
    f.header(data_header(kne, 11, 704))
    if kne:
        f.version(b"\xb5" + VERSION + FE + b"y")
    f.record(booking(kne, 10000, 3, 8400, 10, b"190304", b"503", 10100, b"AR RE-1"))
    f.record(booking(kne, -11900, 3, 8400, 20, b"190304", b"503", 10100, b"GS GS-2"))
    f.record(booking(kne, 10000, 3, 8400, 30, b"190304", b"503", 10100, b"AR RE-3"))
    f.record(booking(kne, 5000, 2, 8300, 30, b"190304", b"503", 10100, b"AR RE-3"))
    blocks, last = f.close(b"x" + b"13100" + b"yz")  # 100 - 119 + 100 + 50
    files[1] = f.data
    control.append((1, 11, 704, blocks, last, b"1"))
    # Debtors and creditors: accounting key 018904.
    for nr, rows in ((2, [master(10100, b"MUELLER", 100, b"50667", b"K\x94ln", b"Domplatz 1"),
                          master(200, b"SCHMIDT", 200)]),
                     (3, [master(70070, b"GROSSHANDEL", 70)])):
        f = DataFile()
        f.header(master_header(18904))
        if kne:
            f.version(b"\xb6" + VERSION + FE + b"y")
        for r in rows:
            f.record(r)
        blocks, last = f.close(b"z")
        files[nr] = f.data
        control.append((nr, 13, 18904, blocks, last, b"1"))
    # Payroll: accounting key 040004; type 2 and its 25 % surcharge.
    f = DataFile()
    f.header(data_header(kne, 41, 40004))
    if kne:
        f.version(b"\xb5" + VERSION + FE + b"y")
    f.record(b"+850a1" + (b"\xbe2" + FE if kne else b"c2") + b"d17y+2500a20d17y")
    blocks, last = f.close(b"x3350yz")
    files[4] = f.data
    control.append((4, 41, 40004, blocks, last, b"1" if kne else b"4"))
    # The control file.
    def w16(n):
        return bytes([n & 0xFF, n >> 8])
    if kne:
        c = b"012" + b"   " + b"1234567" + b"Berater  " + b" " + dig(4, 5) + dig(4, 5) + b" " * 95
    else:
        c = b"012" + b"   " + b"1234567" + b"Berater  " + b" " + w16(4) + w16(4) + b" " * 37
    for nr, anw, kennung, blocks, last, kz in control:
        if kne:
            c += (b"V" + dig(nr, 5) + header_text(anw, kennung, True) + dig(blocks, 5) + b"001" +
                  b" " + kz + VERSION.ljust(14) + b" " * 53)
        else:
            c += (b"V" + w16(nr) + header_text(anw, kennung, True) + w16(blocks) + w16(last) +
                  w16(1) + b" " * 8 + b" " + kz)
    return files, c


for kne, folder in ((False, "obe"), (True, "kne")):
    import os
    os.makedirs(folder, exist_ok=True)
    files, c = run(kne)
    prefix = "ED%05d" if kne else "DE%03d"
    for nr, data in files.items():
        open(os.path.join(folder, prefix % nr), "wb").write(bytes(data))
    open(os.path.join(folder, "EV01" if kne else "DV01"), "wb").write(c)
