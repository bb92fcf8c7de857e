# Writes the archives the extraction tests compare with Info-ZIP's unzip, made by Python's zipfile:
#   make_archives.py zip64 OUT    Zip64 end record and Zip64 extra fields on small entries
#   make_archives.py streamed OUT sizes and CRCs in data descriptors (written to an unseekable stream)
import sys
import zipfile


class Unseekable:
    def __init__(self, raw):
        self.raw = raw

    def write(self, data):
        return self.raw.write(data)

    def flush(self):
        self.raw.flush()


def add_entries(archive):
    archive.writestr("big/a.txt", "hello zip64 world " * 100)
    archive.writestr("big/b.bin", bytes(range(256)) * 8, compress_type=zipfile.ZIP_STORED)
    archive.writestr("c.txt", "small")


kind, out = sys.argv[1], sys.argv[2]
if kind == "zip64":
    zipfile.ZIP64_LIMIT = 16
    zipfile.ZIP_FILECOUNT_LIMIT = 1
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as archive:
        add_entries(archive)
else:
    with open(out, "wb") as raw, zipfile.ZipFile(Unseekable(raw), "w", zipfile.ZIP_DEFLATED) as archive:
        add_entries(archive)
