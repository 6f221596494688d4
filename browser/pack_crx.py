#!/usr/bin/env python3
"""Packs the Vantlo Tabs extension as a CRX3 file signed with the extension's identity key.

Chromium installs a CRX named by an external-extension file only when the file is signed by the
key whose public half gives the extension its ID, so the packaged CRX carries the same ID as the
unpacked folder. The signing itself is done by the openssl command-line tool.

Usage: pack_crx.py KEY.pem EXTENSION_DIR OUTPUT.crx FILE...

A CRX3 file is: "Cr24", the format version 3 and the header's length (both 32-bit little
endian), the header (a CrxFileHeader protocol buffer), then the zip archive. The header holds
the public key and an RSA-SHA256 signature over "CRX3 SignedData\\x00", the length of the signed
header data (32-bit little endian), the signed header data (a SignedData buffer naming the
16-byte CRX id, the first half of the public key's SHA-256) and the archive.
"""

import hashlib
import io
import os
import struct
import subprocess
import sys
import tempfile
import zipfile

# Fixed file times, so one source gives one archive.
ZIP_TIME = (1980, 1, 1, 0, 0, 0)


def varint(value):
    out = bytearray()
    while True:
        byte = value & 0x7F
        value >>= 7
        if value:
            out.append(byte | 0x80)
        else:
            out.append(byte)
            return bytes(out)


def field(number, payload):
    """A length-delimited protocol-buffer field."""
    return varint(number << 3 | 2) + varint(len(payload)) + payload


def archive(folder, files):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as zipped:
        for name in sorted(files):
            info = zipfile.ZipInfo(name, ZIP_TIME)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            with open(os.path.join(folder, name), "rb") as source:
                zipped.writestr(info, source.read())
    return buffer.getvalue()


def openssl(*arguments, data=None):
    result = subprocess.run(["openssl", *arguments], input=data, capture_output=True)
    if result.returncode != 0:
        sys.exit("pack_crx: openssl %s failed: %s" % (arguments[0], result.stderr.decode()))
    return result.stdout


def extension_id(public_key):
    digest = hashlib.sha256(public_key).hexdigest()[:32]
    return "".join(chr(ord("a") + int(c, 16)) for c in digest)


def main():
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    key, folder, output, files = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    public_key = openssl("pkey", "-in", key, "-pubout", "-outform", "DER")
    crx_id = hashlib.sha256(public_key).digest()[:16]
    signed_data = field(1, crx_id)
    zipped = archive(folder, files)
    message = b"CRX3 SignedData\x00" + struct.pack("<I", len(signed_data)) + signed_data + zipped
    with tempfile.NamedTemporaryFile() as unsigned:
        unsigned.write(message)
        unsigned.flush()
        signature = openssl("dgst", "-sha256", "-sign", key, unsigned.name)
    proof = field(1, public_key) + field(2, signature)
    header = field(2, proof) + field(10000, signed_data)
    with open(output + ".new", "wb") as crx:
        crx.write(b"Cr24" + struct.pack("<II", 3, len(header)) + header + zipped)
    os.replace(output + ".new", output)
    print("packed %s (extension %s)" % (output, extension_id(public_key)))


if __name__ == "__main__":
    main()
